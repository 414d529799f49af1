#include "inspect/ObjectViewer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <unordered_map>

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

/// One line of the list as assistive technology sees it: a list item made only when
/// asked for, its text read when asked, like the drawing reads it.
class LineItemAccessible final : public QAccessibleInterface {
public:
    LineItemAccessible(LazyLineList* list, int64_t row) : m_list(list), m_row(row) {}

    bool isValid() const override { return !m_list.isNull() && m_row < m_list->LineCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_list ? m_list->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_list.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text t) const override {
        if (!m_list || (t != QAccessible::Name && t != QAccessible::Value)) return {};
        return m_list->Line(m_row);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!m_list) return {};
        QRect r = m_list->LineRect(m_row);
        if (r.isEmpty()) return {};
        return QRect(m_list->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        if (!m_list || m_list->LineRect(m_row).isEmpty()) {
            s.invisible = true;
            s.offscreen = true;
        }
        return s;
    }
    int64_t Row() const { return m_row; }

private:
    QPointer<LazyLineList> m_list;
    int64_t m_row;
};

/// The array view as a list whose items are its lines. Items are made when asked for
/// and kept until the list goes (or too many pile up), as Qt's item views keep theirs.
class LineListAccessible final : public QAccessibleWidget {
public:
    explicit LineListAccessible(LazyLineList* list) : QAccessibleWidget(list, QAccessible::List) {}
    ~LineListAccessible() override { Forget(); }

    int childCount() const override { return static_cast<int>(std::min<int64_t>(List()->LineCount(), INT_MAX)); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        auto it = m_items.find(index);
        if (it != m_items.end()) return QAccessible::accessibleInterface(it->second);
        if (m_items.size() >= kMaxItems) Forget();
        auto* item = new LineItemAccessible(List(), index);
        m_items.emplace(index, QAccessible::registerAccessibleInterface(item));
        return item;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        auto* item = dynamic_cast<const LineItemAccessible*>(child);
        return item && item->parent() && item->parent()->object() == object() ? static_cast<int>(item->Row()) : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QPoint p = List()->viewport()->mapFromGlobal(QPoint(x, y));
        int64_t row = List()->LineAt(p);
        return row < 0 || row > INT_MAX ? nullptr : child(static_cast<int>(row));
    }

private:
    static constexpr size_t kMaxItems = 4096;
    LazyLineList* List() const { return static_cast<LazyLineList*>(widget()); }
    void Forget() const {
        for (const auto& [row, id] : m_items) QAccessible::deleteAccessibleInterface(id);
        m_items.clear();
    }
    mutable std::unordered_map<int, QAccessible::Id> m_items;
};

QAccessibleInterface* LineListFactory(const QString&, QObject* object) {
    if (auto* list = qobject_cast<LazyLineList*>(object)) return new LineListAccessible(list);
    return nullptr;
}

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame(QPoint(0, 0), window.size());
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

}  // namespace

LazyLineList::LazyLineList(script::ObjectRef object, QWidget* parent)
    : QAbstractScrollArea(parent), m_lines(std::move(object)) {
    static const bool accessible = [] {
        QAccessible::installFactory(LineListFactory);
        return true;
    }();
    (void)accessible;
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

QRect LazyLineList::LineRect(int64_t row) const {
    const int64_t offset = row - FirstVisibleLine();
    const int h = LineHeight();
    if (row < 0 || row >= LineCount() || offset < 0 || offset * h >= viewport()->height()) return {};
    return QRect(0, static_cast<int>(offset) * h, viewport()->width(), h);
}

int64_t LazyLineList::LineAt(QPoint p) const {
    if (!viewport()->rect().contains(p)) return -1;
    int64_t row = FirstVisibleLine() + p.y() / LineHeight();
    return row < LineCount() ? row : -1;
}

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
    auto* description = Named(new QPlainTextEdit(this), "编辑框1", QStringLiteral("对象属性方法"));
    description->setGeometry(3, 16, 272, 296);
    description->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    description->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* list = Named(new LazyLineList(object, this), "列表框1", QStringLiteral("数组内容"));
    list->setGeometry(285, 16, 307, 295);
    QString text = FromAnsi(DescribeObject(object));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    description->setPlainText(text);
    CentreOnScreen(*this);
}

void OpenObjectViewer(const script::ObjectRef& object, QWidget* parent) {
    ObjectViewer viewer(object, parent);
    viewer.setWindowModality(Qt::ApplicationModal);
    viewer.exec();
}

}  // namespace qy::inspect
