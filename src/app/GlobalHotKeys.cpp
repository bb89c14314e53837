#include "app/GlobalHotKeys.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QString>

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

// Set by the error handler while the keys are being grabbed: X reports a key another client
// already holds as an asynchronous BadAccess, not through the grab's return value.
bool g_grabFailed = false;

int NoteGrabError(Display*, XErrorEvent*) {
    g_grabFailed = true;
    return 0;
}

constexpr unsigned int kModifiers = ControlMask | Mod1Mask;
// A grab matches the modifier state exactly, so the key is also grabbed with Caps Lock and
// Num Lock on; otherwise it would stop working whenever either lock is lit.
constexpr unsigned int kLockVariants[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};

Display* ToDisplay(void* display) { return static_cast<Display*>(display); }

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

    // Errors still pending from earlier requests must not be taken for the grabs' errors.
    XSync(display, False);
    g_grabFailed = false;
    XErrorHandler previous = XSetErrorHandler(NoteGrabError);
    for (unsigned int code : {captureCode_, stopCode_}) {
        for (unsigned int locks : kLockVariants) {
            XGrabKey(display, static_cast<int>(code), kModifiers | locks, root_, False, GrabModeAsync, GrabModeAsync);
        }
    }
    XSync(display, False);
    XSetErrorHandler(previous);

    if (g_grabFailed) {
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
    Display* display = ToDisplay(display_);
    if (!display || !qGuiApp) return;
    for (unsigned int code : {captureCode_, stopCode_}) {
        if (code == 0) continue;
        for (unsigned int locks : kLockVariants) XUngrabKey(display, static_cast<int>(code), kModifiers | locks, root_);
    }
    XFlush(display);
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
    if ((key->state & kModifiers) != kModifiers) return false;
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
