/** @file Hotkey.h
 * A global hotkey (Alt+Q) as a key grab on the X11 root window, so it works whichever
 * program has the focus. Where there is no X11 display (offscreen, Wayland without X)
 * or another program already holds the key, installing fails quietly and the
 * workbench goes on without it.
 */
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <functional>

class QWidget;

namespace qy::app {

class GlobalHotkey final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit GlobalHotkey(QObject* owner = nullptr);
    /// Gives the key back to the display.
    ~GlobalHotkey() override;

    /// Grabs `modifiers` (Alt, Ctrl, Shift, Meta) with the key of an X keysym such as
    /// 'q'; false, and nothing grabbed, when it cannot be installed. One key per object.
    bool Install(Qt::KeyboardModifiers modifiers, unsigned int keysym, std::function<void()> handler);
    bool Installed() const { return m_keycode != 0; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void Release();

    std::function<void()> m_handler;
    unsigned char m_keycode = 0;
    unsigned short m_modifiers = 0;
};

/// The window's hotkey, living as long as the window. Installed() on the result says
/// whether the key could be grabbed.
GlobalHotkey* InstallHotkey(QWidget& window, Qt::KeyboardModifiers modifiers, unsigned int keysym,
                            std::function<void()> handler);

}  // namespace qy::app
