/** @file Hotkey.h
 * A global hotkey (Alt+Q) as a key grab on the X11 root window. Where there is no X11
 * display (offscreen, Wayland without X) or another program holds the key, installing
 * fails quietly and the workbench goes on without it.
 */
#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>

namespace qy::app {

class GlobalHotkey final : public QAbstractNativeEventFilter {
public:
    ~GlobalHotkey() override;

    /// Grabs Alt+<key> (an X keysym such as 'q'); false when it cannot be installed.
    bool Install(unsigned int keysym, std::function<void()> handler);
    bool Installed() const { return m_keycode != 0; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<void()> m_handler;
    unsigned char m_keycode = 0;
};

}  // namespace qy::app
