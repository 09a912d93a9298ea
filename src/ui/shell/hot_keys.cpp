#include "ui/shell/hot_keys.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <QGuiApplication>
#include <QTimer>
#include <memory>

#include "config/activity_log.h"

namespace sievo {

namespace {

// NumLock and CapsLock change the modifier state; a grab is needed for each combination.
constexpr std::uint16_t kIgnoredModifiers[] = {0, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK,
                                               XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK};

xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t RootWindow(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

unsigned char KeycodeOf(xcb_connection_t* connection, unsigned keysym) {
    const std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols(
        xcb_key_symbols_alloc(connection), &xcb_key_symbols_free);
    if (!symbols)
        return 0;
    const std::unique_ptr<xcb_keycode_t, decltype(&free)> codes(
        xcb_key_symbols_get_keycode(symbols.get(), keysym), &free);
    return codes ? codes.get()[0] : 0;
}

}  // namespace

GlobalHotKeys::GlobalHotKeys() {
    if (X11Connection())
        qGuiApp->installNativeEventFilter(this);
}

GlobalHotKeys::~GlobalHotKeys() {
    UngrabAll();
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

bool GlobalHotKeys::RegisterCtrl(unsigned keysym, const std::string& name,
                                 std::function<void()> command) {
    xcb_connection_t* connection = X11Connection();
    const unsigned char keycode = connection ? KeycodeOf(connection, keysym) : 0;
    if (keycode == 0 || !Grab(keycode)) {
        ActivityLog("The hot key " + name + " could not be registered.");
        return false;
    }
    keys_.push_back({keycode, std::move(command)});
    return true;
}

// Grabs every lock variant; when any is refused (another program holds the key), the
// others are let go again.
bool GlobalHotKeys::Grab(unsigned char keycode) {
    xcb_connection_t* connection = X11Connection();
    const xcb_window_t root = RootWindow(connection);
    bool granted = true;
    for (const std::uint16_t lock : kIgnoredModifiers) {
        const auto cookie = xcb_grab_key_checked(connection, 1, root, XCB_MOD_MASK_CONTROL | lock,
                                                 keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            free(error);
            granted = false;
        }
    }
    if (!granted) {
        for (const std::uint16_t lock : kIgnoredModifiers)
            xcb_ungrab_key(connection, keycode, root, XCB_MOD_MASK_CONTROL | lock);
        xcb_flush(connection);
    }
    return granted;
}

void GlobalHotKeys::UngrabAll() {
    xcb_connection_t* connection = X11Connection();
    if (!connection)
        return;
    for (const HotKey& key : keys_)
        for (const std::uint16_t lock : kIgnoredModifiers)
            xcb_ungrab_key(connection, key.keycode, RootWindow(connection),
                           XCB_MOD_MASK_CONTROL | lock);
    xcb_flush(connection);
    keys_.clear();
}

bool GlobalHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    const std::uint16_t modifiers = press->state & ~(XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK);
    for (const HotKey& key : keys_) {
        if (key.keycode == press->detail && modifiers == XCB_MOD_MASK_CONTROL) {
            // A command may run a whole check; it must not run inside the event filter.
            QTimer::singleShot(0, qGuiApp, key.command);
            return true;
        }
    }
    return false;
}

}  // namespace sievo
