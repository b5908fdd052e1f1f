// A hidden window whose messages go to its owner: the receiving end of
// socket notifications, timers and hand-overs from other threads. It is a
// zero-size tool-window pop-up without parent, on the creating thread.
#pragma once

#include "Window.h"

#include <functional>
#include <string>

namespace winui {

class MessageWindow final : public Window {
public:
    // Returns true when it handled the message; others get default processing.
    using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam)>;

    MessageWindow(std::string className, Handler handler)
        : className_(std::move(className)), handler_(std::move(handler))
    {
    }

    void Create();
    // Destroys the window but not the object, so it is safe inside one of
    // the window's own messages.
    void Destroy();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::string className_;
    Handler handler_;
};

}  // namespace winui
