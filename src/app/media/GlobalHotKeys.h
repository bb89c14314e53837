#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

namespace corv {

// Ctrl+Alt+F5 (start capturing) and Ctrl+Alt+F7 (stop) for the whole desktop, so a capture
// can be started and stopped while another program has the keyboard. Only an X11 session
// lets a program take keys system-wide; elsewhere, or when another program already holds
// one of the keys, systemWide() is false and the owner has to offer its own shortcuts.
class GlobalHotKeys : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit GlobalHotKeys(QObject* parent = nullptr);
    ~GlobalHotKeys() override;
    GlobalHotKeys(const GlobalHotKeys&) = delete;
    GlobalHotKeys& operator=(const GlobalHotKeys&) = delete;

    bool systemWide() const { return systemWide_; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void captureKey();
    void stopKey();

private:
    void Release();

    void* display_ = nullptr;     // the X display and Qt's connection to it, untyped so that
    void* connection_ = nullptr;  // this header needs no X headers
    unsigned long root_ = 0;
    unsigned int captureCode_ = 0;
    unsigned int stopCode_ = 0;
    bool systemWide_ = false;
    bool filtering_ = false;
};

}  // namespace corv
