#include "app/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "app/WindowLayout.h"

namespace qy::app {
namespace {

constexpr const char* kShownBefore = "qyShownBefore";

const QScreen* ScreenOf(const QWidget* w) {
    return w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
}

bool WhollyOnAScreen(const QRect& frame) {
    for (const QScreen* s : QGuiApplication::screens())
        if (s->availableGeometry().contains(frame)) return true;
    return false;
}

/// Frame margins of a window not yet mapped are unknown; the main window's stand in.
QSize Margins(const QWidget& window, const QWidget* model) {
    QSize m = window.frameGeometry().size() - window.size();
    if (m.isEmpty() && model) m = model->frameGeometry().size() - model->size();
    return m.expandedTo(QSize(0, 0));
}

/// Places each window of the program as it is shown, on the main window's screen.
class OnScreenGuard final : public QObject {
public:
    explicit OnScreenGuard(QWidget& main) : QObject(&main), m_main(&main) {
        setObjectName(QStringLiteral("OnScreenGuard"));
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (!w->isWindow() || w == m_main || qobject_cast<QMainWindow*>(w)) return false;
        if (w->windowType() != Qt::Window && w->windowType() != Qt::Dialog) return false;
        Place(*w);
        // Under a window manager the frame is known only once the window is mapped.
        QTimer::singleShot(0, w, [this, window = QPointer<QWidget>(w)] {
            if (window && window->isVisible()) Place(*window);
        });
        return false;
    }

private:
    void Place(QWidget& w) {
        if (w.isMaximized() || w.isFullScreen()) return;
        const QRect frame = w.frameGeometry();
        const bool shownBefore = w.property(kShownBefore).toBool();
        w.setProperty(kShownBefore, true);
        if (shownBefore && WhollyOnAScreen(frame)) return;
        const QScreen* screen = ScreenOf(m_main);
        if (!screen) return;
        const QSize margins = Margins(w, m_main);
        const QRect placed = PlaceOnScreen(frame, screen->availableGeometry(), w.minimumSize() + margins);
        if (placed == frame) return;
        if (placed.size() != frame.size()) w.resize(placed.size() - margins);
        w.move(placed.topLeft());
    }

    QPointer<QWidget> m_main;
};

}  // namespace

QRect BesideOnScreen(QRect owner, QSize size, QRect available, int gap) {
    const QRect right(QPoint(owner.right() + 1 + gap, owner.top()), size);
    const QRect left(QPoint(owner.left() - gap - size.width(), owner.top()), size);
    for (QRect r : {right, left}) {
        if (r.bottom() > available.bottom()) r.moveBottom(available.bottom());
        if (r.top() < available.top()) r.moveTop(available.top());
        if (available.contains(r)) return r;
    }
    // Neither side has room: over the owner's edge, wholly on the screen.
    return FitOnScreen(right, available, size.boundedTo(available.size()));
}

QRect PlaceOnScreen(QRect frame, QRect available, QSize minimum) {
    if (available.isEmpty() || available.contains(frame)) return frame;
    if (!available.intersects(frame)) frame.moveCenter(available.center());
    return FitOnScreen(frame, available, minimum);
}

void PlaceBeside(QWidget& window, const QWidget& owner) {
    const QScreen* screen = ScreenOf(&owner);
    if (!screen) return;
    const QSize margins = Margins(window, &owner);
    const QRect frame = BesideOnScreen(owner.frameGeometry(), window.size() + margins, screen->availableGeometry(), 8);
    window.move(frame.topLeft());
}

void KeepWindowsOnScreen(QWidget& mainWindow) {
    if (mainWindow.findChild<QObject*>(QStringLiteral("OnScreenGuard"), Qt::FindDirectChildrenOnly)) return;
    new OnScreenGuard(mainWindow);
}

}  // namespace qy::app
