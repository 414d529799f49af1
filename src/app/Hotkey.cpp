#include "app/Hotkey.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>

#ifdef QY_HAVE_XCB
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#endif

namespace qy::app {

#ifdef QY_HAVE_XCB
namespace {

xcb_connection_t* Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t Root(xcb_connection_t* c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

// The grab must not depend on Num Lock (Mod2) or Caps Lock being on.
constexpr uint16_t kLockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
// The modifiers that tell one hotkey from another; the lock states do not.
constexpr uint16_t kSignificant = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

uint16_t XModifiers(Qt::KeyboardModifiers modifiers) {
    uint16_t mask = 0;
    if (modifiers & Qt::AltModifier) mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::ControlModifier) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::ShiftModifier) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::MetaModifier) mask |= XCB_MOD_MASK_4;
    return mask;
}

xcb_keycode_t KeycodeOf(xcb_connection_t* c, unsigned int keysym) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    if (!symbols) return 0;
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    return code;
}

void Ungrab(xcb_connection_t* c, xcb_keycode_t code, uint16_t modifiers) {
    for (uint16_t lock : kLockVariants) xcb_ungrab_key(c, code, Root(c), modifiers | lock);
    xcb_flush(c);
}

}  // namespace
#endif

GlobalHotkey::GlobalHotkey(QObject* owner) : QObject(owner) { setObjectName(QStringLiteral("GlobalHotkey")); }

GlobalHotkey::~GlobalHotkey() { Release(); }

void GlobalHotkey::Release() {
    if (!m_keycode) return;
#ifdef QY_HAVE_XCB
    if (xcb_connection_t* c = Connection()) Ungrab(c, m_keycode, m_modifiers);
#endif
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
    m_keycode = 0;
}

bool GlobalHotkey::Install(Qt::KeyboardModifiers modifiers, unsigned int keysym, std::function<void()> handler) {
#ifdef QY_HAVE_XCB
    if (m_keycode) return false;
    xcb_connection_t* c = Connection();
    if (!c) return false;
    const xcb_keycode_t code = KeycodeOf(c, keysym);
    if (!code) return false;
    const uint16_t mask = XModifiers(modifiers);
    for (uint16_t lock : kLockVariants) {
        xcb_void_cookie_t cookie =
            xcb_grab_key_checked(c, 1, Root(c), mask | lock, code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            // Another program holds the combination; give back what was taken so far.
            std::free(error);
            Ungrab(c, code, mask);
            return false;
        }
    }
    m_keycode = code;
    m_modifiers = mask;
    m_handler = std::move(handler);
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
#else
    (void)modifiers;
    (void)keysym;
    (void)handler;
    return false;
#endif
}

bool GlobalHotkey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
#ifdef QY_HAVE_XCB
    if (eventType != "xcb_generic_event_t" || !m_keycode) return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    if (key->detail != m_keycode || (key->state & kSignificant) != m_modifiers) return false;
    // The handler runs once Qt has taken the press's time as the user's last action: the
    // window it brings back asks for the focus with that time, so that a window manager
    // preventing focus theft (another of our windows holding the keyboard) lets it come
    // to the front. No window of ours is the root, so Qt delivers the press nowhere.
    QMetaObject::invokeMethod(
        this, [this] {
            if (m_handler) m_handler();
        },
        Qt::QueuedConnection);
    return false;
#else
    (void)eventType;
    (void)message;
    return false;
#endif
}

GlobalHotkey* InstallHotkey(QWidget& window, Qt::KeyboardModifiers modifiers, unsigned int keysym,
                            std::function<void()> handler) {
    auto* hotkey = new GlobalHotkey(&window);
    hotkey->Install(modifiers, keysym, std::move(handler));
    return hotkey;
}

}  // namespace qy::app
