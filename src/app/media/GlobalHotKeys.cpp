#include "app/media/GlobalHotKeys.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QString>

#include <cstdint>
#include <cstdlib>

// The X headers define macros that collide with Qt names, so they come after every Qt header.
#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#undef None
#undef Bool
#undef Status
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef CursorShape
#undef Expose
#undef Unsorted
#define CORV_X11_HOTKEYS 1
#endif

namespace corv {

#ifdef CORV_X11_HOTKEYS
namespace {

// Ctrl+Alt+F5 / F7, and Ctrl+Shift+F5 / F7 beside them: X servers with the usual keymap turn
// Ctrl+Alt+function keys into a switch of the virtual terminal and never deliver them, so the
// Shift forms are the ones that reach the program there.
constexpr unsigned int kModifierSets[] = {ControlMask | Mod1Mask, ControlMask | ShiftMask};
constexpr unsigned int kWatched = ControlMask | Mod1Mask | ShiftMask;
// A grab matches the modifier state exactly, so the key is also grabbed with Caps Lock and
// Num Lock on; otherwise it would stop working whenever either lock is lit.
constexpr unsigned int kLockVariants[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};


}  // namespace
#endif

GlobalHotKeys::GlobalHotKeys(QObject* parent) : QObject(parent) {
#ifdef CORV_X11_HOTKEYS
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb")) return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return;
    display_ = display;
    root_ = DefaultRootWindow(display);
    captureCode_ = XKeysymToKeycode(display, XK_F5);
    stopCode_ = XKeysymToKeycode(display, XK_F7);
    if (captureCode_ == 0 || stopCode_ == 0) return;

    // The grabs go through Qt's own connection, whose events Qt reads (and hands to the
    // filter below); a failure (another client holds the key) comes back on the checked cookie.
    xcb_connection_t* connection = x11->connection();
    if (!connection) return;
    connection_ = connection;
    bool failed = false;
    for (unsigned int code : {captureCode_, stopCode_}) {
        for (unsigned int modifiers : kModifierSets) {
            for (unsigned int locks : kLockVariants) {
                const xcb_void_cookie_t cookie = xcb_grab_key_checked(
                    connection, 0, static_cast<xcb_window_t>(root_), static_cast<std::uint16_t>(modifiers | locks),
                    static_cast<xcb_keycode_t>(code), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
                if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
                    std::free(error);
                    failed = true;
                }
            }
        }
    }
    if (failed) {
        // Half a set of grabs would make the keys work only in some lock states; give all back.
        Release();
        return;
    }
    systemWide_ = true;
    QCoreApplication::instance()->installNativeEventFilter(this);
    filtering_ = true;
#endif
}

GlobalHotKeys::~GlobalHotKeys() {
    if (filtering_ && QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
    if (systemWide_) Release();
}

void GlobalHotKeys::Release() {
#ifdef CORV_X11_HOTKEYS
    auto* connection = static_cast<xcb_connection_t*>(connection_);
    if (!connection || !qGuiApp) return;
    for (unsigned int code : {captureCode_, stopCode_}) {
        if (code == 0) continue;
        for (unsigned int modifiers : kModifierSets) {
            for (unsigned int locks : kLockVariants) {
                xcb_ungrab_key(connection, static_cast<xcb_keycode_t>(code), static_cast<xcb_window_t>(root_),
                               static_cast<std::uint16_t>(modifiers | locks));
            }
        }
    }
    xcb_flush(connection);
#endif
    systemWide_ = false;
}

bool GlobalHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) {
    Q_UNUSED(result);
#ifdef CORV_X11_HOTKEYS
    if (!systemWide_ || eventType != "xcb_generic_event_t" || !message) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS) return false;
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    const unsigned int held = key->state & kWatched;
    if (held != kModifierSets[0] && held != kModifierSets[1]) return false;
    if (key->detail != captureCode_ && key->detail != stopCode_) return false;
    // Handled after the filter returns: the receivers may open windows or message boxes,
    // which must not happen inside the platform's event dispatch.
    if (key->detail == captureCode_) {
        QMetaObject::invokeMethod(this, [this] { emit captureKey(); }, Qt::QueuedConnection);
    } else {
        QMetaObject::invokeMethod(this, [this] { emit stopKey(); }, Qt::QueuedConnection);
    }
    return true;
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
    return false;
#endif
}

}  // namespace corv
