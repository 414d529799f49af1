#include "inspect/ObjectViewer.h"

#include <QGroupBox>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <QPlainTextEdit>

#include "text/QtBridge.h"

namespace qy::inspect {
namespace {

QString FromAnsi(const std::string& ansi) { return QString::fromStdU16String(text::AnsiToWide(ansi)); }

template <typename W>
W* Named(W* w, const char* name, const QString& caption = QString()) {
    w->setObjectName(QString::fromUtf8(name));
    w->setAccessibleName(caption.isEmpty() ? QString::fromUtf8(name) : caption);
    return w;
}

}  // namespace

LazyLineList::LazyLineList(script::ObjectRef object, QWidget* parent)
    : QAbstractScrollArea(parent), m_lines(std::move(object)) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(pal);
    viewport()->setBackgroundRole(QPalette::Base);
    UpdateScrollRange();
}

QString LazyLineList::Line(int64_t row) const {
    if (row < 0 || row >= LineCount()) return {};
    return FromAnsi(row == 0 ? m_lines.LengthLine() : m_lines.ElementLine(row - 1));
}

int64_t LazyLineList::FirstVisibleLine() const { return verticalScrollBar()->value(); }

int LazyLineList::LineHeight() const { return fontMetrics().height() + 2; }

void LazyLineList::UpdateScrollRange() {
    int visible = std::max(1, viewport()->height() / LineHeight());
    int64_t maxFirst = std::max<int64_t>(0, LineCount() - visible);
    verticalScrollBar()->setRange(0, static_cast<int>(std::min<int64_t>(maxFirst, INT_MAX)));
    verticalScrollBar()->setPageStep(visible);
    verticalScrollBar()->setSingleStep(1);
}

void LazyLineList::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void LazyLineList::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int h = LineHeight();
    int64_t row = FirstVisibleLine();
    for (int y = 0; y < viewport()->height() && row < LineCount(); y += h, ++row) {
        painter.drawText(QRect(3, y, viewport()->width() - 6, h), Qt::AlignLeft | Qt::AlignVCenter, Line(row));
    }
}

ObjectViewer::ObjectViewer(const script::ObjectRef& object, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("对象查看器DEMO"));
    setWindowTitle(QStringLiteral("对象查看器DEMO"));
    setAccessibleName(windowTitle());
    setFont(text::WorkbenchFont(12));
    setFixedSize(604, 322);
    auto* left = Named(new QGroupBox(QStringLiteral("对象属性方法"), this), "分组框1", QStringLiteral("对象属性方法"));
    left->setGeometry(0, 0, 280, 320);
    auto* right = Named(new QGroupBox(QStringLiteral("数组内容查看"), this), "分组框2", QStringLiteral("数组内容查看"));
    right->setGeometry(280, 0, 320, 320);
    auto* description = Named(new QPlainTextEdit(this), "编辑框1");
    description->setGeometry(3, 16, 272, 296);
    description->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    description->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* list = Named(new LazyLineList(object, this), "列表框1");
    list->setGeometry(285, 16, 307, 295);
    QString text = FromAnsi(DescribeObject(object));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    description->setPlainText(text);
}

void OpenObjectViewer(const script::ObjectRef& object, QWidget* parent) {
    ObjectViewer viewer(object, parent);
    viewer.setWindowModality(Qt::ApplicationModal);
    viewer.exec();
}

}  // namespace qy::inspect
