#include "inspect/ObjectViewer.h"

#include <QGroupBox>
#include <QListView>
#include <QPlainTextEdit>

#include "text/CodePage.h"

namespace qy::inspect {
namespace {

QString FromAnsi(const std::string& ansi) { return QString::fromStdU16String(text::AnsiToWide(ansi)); }

QFont YaHei() {
    QFont font;
    font.setFamilies({QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(12);
    return font;
}

template <typename W>
W* Named(W* w, const char* name, const QString& caption = QString()) {
    w->setObjectName(QString::fromUtf8(name));
    w->setAccessibleName(caption.isEmpty() ? QString::fromUtf8(name) : caption);
    return w;
}

}  // namespace

ArrayLinesModel::ArrayLinesModel(script::ObjectRef object, QObject* parent)
    : QAbstractListModel(parent), m_lines(std::move(object)) {}

int ArrayLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(1 + m_lines.ElementCount());
}

QVariant ArrayLinesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    if (index.row() == 0) return FromAnsi(m_lines.LengthLine());
    return FromAnsi(m_lines.ElementLine(index.row() - 1));
}

ObjectViewer::ObjectViewer(const script::ObjectRef& object, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("对象查看器DEMO"));
    setWindowTitle(QStringLiteral("对象查看器DEMO"));
    setAccessibleName(windowTitle());
    setFont(YaHei());
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
    auto* list = Named(new QListView(this), "列表框1");
    list->setGeometry(285, 16, 307, 295);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setUniformItemSizes(true);  // rows are measured without reading every element
    list->setModel(new ArrayLinesModel(object, list));
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
