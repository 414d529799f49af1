#include "decode/gui/DecoderWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>

#include "decode/Decoders.h"
#include "decode/Encoding.h"
#include "text/QtBridge.h"

namespace qy::decode {
namespace {

QPointer<DecoderWindow> g_instance;

template <typename W>
W* Named(W* w, const char* name, QWidget* parent, QRect geometry, const QString& caption = QString()) {
    w->setParent(parent);
    w->setObjectName(QString::fromUtf8(name));
    w->setAccessibleName(caption.isEmpty() ? QString::fromUtf8(name) : caption);
    w->setGeometry(geometry);
    return w;
}

// The boxes hold workbench text losslessly: a byte that is no character (UTF-8 bytes
// read as GBK, say) is kept in the box and comes back as the same byte, so a result can
// be decoded further.
std::string ToAnsi(const QPlainTextEdit* box) {
    // The raw text: the plain text would turn no-break spaces into blanks.
    QString s = box->document()->toRawText();
    s.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    s.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text::WideKeepingBytesToAnsi(s.toStdU16String());
}

QString FromAnsi(const std::string& s) {
    QString q = QString::fromStdU16String(text::AnsiToWideKeepingBytes(s));
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return q;
}

}  // namespace

DecoderWindow::DecoderWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("KV-RA解码小工具"));
    setWindowTitle(QStringLiteral("KV-RA解码小工具"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(424, 384);
    auto* input = Named(new QPlainTextEdit, "txt_old", this, {0, 0, 424, 176}, QStringLiteral("待解码文本"));
    input->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* label = Named(new QLabel(QStringLiteral("原始编码")), "标签1", this, {9, 181, 52, 24}, QStringLiteral("原始编码"));
    auto* kind = Named(new QComboBox, "组合框1", this, {64, 182, 184, 20}, QStringLiteral("原始编码"));
    label->setBuddy(kind);
    kind->addItems({QStringLiteral("USC编码"), QStringLiteral("UTF8编码"), QStringLiteral("URL编码"),
                    QStringLiteral("Base64编码")});
    kind->setCurrentIndex(0);
    auto* button = Named(new QPushButton(QStringLiteral("给老子解码↓↓")), "按钮1", this, {248, 179, 176, 24},
                         QStringLiteral("给老子解码↓↓"));
    auto* output = Named(new QPlainTextEdit, "txt_new", this, {0, 208, 424, 176}, QStringLiteral("解码结果"));
    output->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(button, &QPushButton::clicked, this, &DecoderWindow::Decode);
}

void DecoderWindow::Decode() {
    int index = findChild<QComboBox*>(QStringLiteral("组合框1"))->currentIndex();
    if (index < 0 || index > 3) return;
    std::string input = ToAnsi(findChild<QPlainTextEdit*>(QStringLiteral("txt_old")));
    std::string result;
    QPointer<DecoderWindow> self(this);
    switch (index) {
        case 0: result = DecodeJsEscapes(input); break;
        case 1: result = Utf8ToAnsi(input); break;
        case 2: result = DecodePercent(input); break;
        default: {
            result = DecodeBase64(input, [] { QCoreApplication::processEvents(); });
            size_t nul = result.find('\0');
            if (nul != std::string::npos) result.resize(nul);
        }
    }
    if (!self) return;  // closed while the decoder let events through
    findChild<QPlainTextEdit*>(QStringLiteral("txt_new"))->setPlainText(FromAnsi(result));
}

void DecoderWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

DecoderWindow* DecoderWindow::ShowOrActivate() {
    if (!g_instance) {
        g_instance = new DecoderWindow;
        // Centred on the screen, clear of the main window's menu bar.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(0, 0), g_instance->size());
            frame.moveCenter(screen->availableGeometry().center());
            g_instance->move(frame.topLeft());
        }
    }
    if (g_instance->isMinimized()) g_instance->showNormal();
    g_instance->show();
    g_instance->raise();
    g_instance->activateWindow();
    return g_instance;
}

DecoderWindow* DecoderWindow::Instance() { return g_instance; }

}  // namespace qy::decode
