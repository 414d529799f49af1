#include "app/Hotkey.h"

#include <QGuiApplication>
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

// The grab must not depend on Num Lock or Caps Lock being on.
constexpr uint16_t kLockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

}  // namespace
#endif

GlobalHotkey::~GlobalHotkey() {
#ifdef QY_HAVE_XCB
    if (!m_keycode) return;
    if (xcb_connection_t* c = Connection()) {
        xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        for (uint16_t lock : kLockVariants) xcb_ungrab_key(c, m_keycode, root, XCB_MOD_MASK_1 | lock);
        xcb_flush(c);
    }
    if (auto* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
#endif
}

bool GlobalHotkey::Install(unsigned int keysym, std::function<void()> handler) {
#ifdef QY_HAVE_XCB
    xcb_connection_t* c = Connection();
    if (!c) return false;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    if (!symbols) return false;
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    if (!code) return false;
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    for (uint16_t lock : kLockVariants) {
        xcb_void_cookie_t cookie = xcb_grab_key_checked(c, 1, root, XCB_MOD_MASK_1 | lock, code, XCB_GRAB_MODE_ASYNC,
                                                       XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            std::free(error);  // the key belongs to another program
            for (uint16_t undo : kLockVariants) xcb_ungrab_key(c, code, root, XCB_MOD_MASK_1 | undo);
            xcb_flush(c);
            return false;
        }
    }
    m_keycode = code;
    m_handler = std::move(handler);
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
#else
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
    if (key->detail != m_keycode || !(key->state & XCB_MOD_MASK_1)) return false;
    if (m_handler) m_handler();
    return true;
#else
    (void)eventType;
    (void)message;
    return false;
#endif
}

}  // namespace qy::app
