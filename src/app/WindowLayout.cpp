#include "app/WindowLayout.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <map>

namespace qy::app {
namespace {

/// How a component follows the client area's width.
enum class Across { Left, Stretch, Right };
/// How it follows the height: the top row stays, the tabs grow, the rows below them
/// move with the tabs' lower edge, the log moves with them and grows.
enum class Down { Top, Tabs, Row, Log };

constexpr const char* kTabs = "高级选择夹1";
constexpr const char* kLog = "编辑框_output";

Across AcrossOf(const QString& name) {
    static const QStringList stretch = {QStringLiteral("组合框_addr"), QStringLiteral("编辑框_搜索内容"),
                                        QStringLiteral("标签_Fun"),   QStringLiteral("编辑框_eval"),
                                        QString::fromUtf8(kLog),     QString::fromUtf8(kTabs)};
    static const QStringList right = {QStringLiteral("选择框1"),    QStringLiteral("按钮_读取JS"), QStringLiteral("组合框_more"),
                                      QStringLiteral("按钮_search"), QStringLiteral("按钮_pack"),   QStringLiteral("按钮_cla"),
                                      QStringLiteral("按钮_unpack"), QStringLiteral("按钮_copy"),   QStringLiteral("按钮_format"),
                                      QStringLiteral("按钮_run"),    QStringLiteral("按钮_go")};
    if (stretch.contains(name)) return Across::Stretch;
    if (right.contains(name)) return Across::Right;
    return Across::Left;
}

class MainWindowLayout final : public QObject {
public:
    MainWindowLayout(QMainWindow& window, QWidget& client) : QObject(&window), m_window(window), m_client(client) {
        setObjectName(QStringLiteral("WindowLayout"));
        m_design = client.size();
        RecordParts();
        Qt::WindowFlags flags = window.windowFlags();
        flags &= ~Qt::MSWindowsFixedSizeDialogHint;
        flags |= Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint;
        window.setWindowFlags(flags);
        Unfix();
        window.installEventFilter(this);
        client.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_client && event->type() == QEvent::Resize) Apply();
        if (watched == &m_window && event->type() == QEvent::Show && !m_shown) {
            m_shown = true;
            // Components the features added after the layout (a button beside another)
            // are still where they were put for the design size.
            RecordParts();
            // Features added after the layout (the status bar) may fix the size again, and
            // the bars' heights are settled only once laid out: the window opens with the
            // client area at the size its components were placed for, unless the screen is
            // too small.
            Unfix();
            if (QLayout* layout = m_window.layout()) layout->activate();
            if (m_client.size() != m_design) m_window.resize(m_window.size() + m_design - m_client.size());
            Fit();
            // Under a window manager the frame is known only once the window is mapped.
            QTimer::singleShot(0, this, [this] { Fit(); });
        }
        return false;
    }

private:
    struct Part {
        QPointer<QWidget> widget;
        QRect design;
        Across across;
        Down down;
    };

    bool Known(const QWidget* w) const {
        return std::any_of(m_parts.begin(), m_parts.end(), [w](const Part& p) { return p.widget == w; });
    }

    /// A component the layout has no rule for keeps its left edge, unless it sits right
    /// of its row's wide field: then it stays at the row's right end with the buttons.
    Across AcrossOfUnknown(const QRect& place) const {
        for (const Part& p : m_parts) {
            if (p.across != Across::Stretch || p.down == Down::Tabs) continue;
            const bool sameRow = place.top() <= p.design.bottom() && p.design.top() <= place.bottom();
            if (sameRow && place.left() >= p.design.right()) return Across::Right;
        }
        return Across::Left;
    }

    void RecordParts() {
        const QWidget* tabs = m_client.findChild<QWidget*>(QString::fromUtf8(kTabs));
        const QWidget* log = m_client.findChild<QWidget*>(QString::fromUtf8(kLog));
        const int tabsTop = tabs ? tabs->y() : 0;
        const int logTop = log ? log->y() : m_design.height();
        std::vector<QWidget*> unknown;
        for (QWidget* w : m_client.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w->objectName().isEmpty() || w->isWindow() || Known(w)) continue;
            const Down down = w == tabs ? Down::Tabs : w == log ? Down::Log : w->y() < tabsTop ? Down::Top
                            : w->y() < logTop ? Down::Row : Down::Log;
            const Across across = AcrossOf(w->objectName());
            if (across == Across::Left && w != tabs && w != log) unknown.push_back(w);
            m_parts.push_back({w, w->geometry(), across, down});
        }
        for (Part& p : m_parts)
            if (std::find(unknown.begin(), unknown.end(), p.widget) != unknown.end()) p.across = AcrossOfUnknown(p.design);
        // The editors fill their tab pages, which the tab widget sizes.
        for (QWidget* w : m_client.findChildren<QWidget*>()) {
            if (w->objectName().startsWith(QStringLiteral("代码编辑框")) && w->parentWidget() != &m_client && !Known(w))
                m_parts.push_back({w, w->geometry(), Across::Stretch, Down::Tabs});
        }
    }

    /// Chrome around the client area: the menu bar and, when there is one, the status bar.
    QSize Chrome() const {
        QSize chrome = m_window.size() - m_client.size();
        return QSize(std::max(0, chrome.width()), std::max(0, chrome.height()));
    }

    void Unfix() {
        const QSize chrome = Chrome();
        m_client.setMinimumSize(kMinimumClientSize);
        m_client.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        m_window.setMinimumSize(kMinimumClientSize + chrome);
        m_window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }

    void Fit() {
        if (m_window.isMaximized() || m_window.isFullScreen()) return;
        const QScreen* screen = m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
        if (!screen) return;
        const QRect frame = m_window.frameGeometry();
        const QSize margins = frame.size() - m_window.size();
        const QRect fitted = FitOnScreen(frame, screen->availableGeometry(), m_window.minimumSize() + margins);
        if (fitted == frame) return;
        if (fitted.size() != frame.size()) m_window.resize(fitted.size() - margins);
        m_window.move(fitted.topLeft());
    }

    void Apply() {
        const int dx = m_client.width() - m_design.width();
        const int dy = m_client.height() - m_design.height();
        // The editors take most of the extra room, the log the rest.
        const int logExtra = dy / 4;
        const int tabsExtra = dy - logExtra;
        for (const Part& p : m_parts) {
            if (!p.widget) continue;
            QRect r = p.design;
            switch (p.across) {
                case Across::Left: break;
                case Across::Stretch: r.setWidth(r.width() + dx); break;
                case Across::Right: r.translate(dx, 0); break;
            }
            switch (p.down) {
                case Down::Top: break;
                case Down::Tabs: r.setHeight(r.height() + tabsExtra); break;
                case Down::Row: r.translate(0, tabsExtra); break;
                case Down::Log:
                    r.translate(0, tabsExtra);
                    r.setHeight(r.height() + logExtra);
                    break;
            }
            if (p.widget->geometry() != r) p.widget->setGeometry(r);
        }
    }

    QMainWindow& m_window;
    QWidget& m_client;
    QSize m_design;
    std::vector<Part> m_parts;
    bool m_shown = false;
};

}  // namespace

QRect FitOnScreen(QRect frame, QRect available, QSize minimum) {
    if (available.isEmpty() || available.contains(frame)) return frame;
    QSize size = frame.size().boundedTo(available.size()).expandedTo(minimum);
    QRect fitted(frame.topLeft(), size);
    // Inside the area; a window larger than the area (its minimum) keeps its top-left
    // corner, title bar included, on the screen.
    if (fitted.right() > available.right()) fitted.moveRight(available.right());
    if (fitted.bottom() > available.bottom()) fitted.moveBottom(available.bottom());
    if (fitted.left() < available.left()) fitted.moveLeft(available.left());
    if (fitted.top() < available.top()) fitted.moveTop(available.top());
    return fitted;
}

void InstallWindowLayout(QMainWindow& window) {
    QWidget* client = window.centralWidget();
    if (!client || window.findChild<QObject*>(QStringLiteral("WindowLayout"), Qt::FindDirectChildrenOnly)) return;
    new MainWindowLayout(window, *client);
}

}  // namespace qy::app
