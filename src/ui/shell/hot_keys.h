#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>
#include <string>
#include <vector>

namespace sievo {

// System-wide hot keys through X11 key grabs on the root window. Where there is no X11
// (Wayland, offscreen) or another program holds the key, it stays unregistered and the
// log says so.
class GlobalHotKeys : public QAbstractNativeEventFilter {
public:
    GlobalHotKeys();
    ~GlobalHotKeys() override;
    GlobalHotKeys(const GlobalHotKeys&) = delete;
    GlobalHotKeys& operator=(const GlobalHotKeys&) = delete;

    // Ctrl + the key (an X keysym); the command runs from the event loop, not inside the
    // event filter. name is what the log calls the key. False when it is unregistered.
    bool RegisterCtrl(unsigned keysym, const std::string& name, std::function<void()> command);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct HotKey {
        unsigned char keycode;
        std::function<void()> command;
    };
    bool Grab(unsigned char keycode);
    void UngrabAll();

    std::vector<HotKey> keys_;
};

}  // namespace sievo
