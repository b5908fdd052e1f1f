// The program's message loops (the application's, a modal form's, and the
// one that lets pending messages run) take their messages here: a key
// message is first offered to the controls of its window as a dialog key,
// everything else is translated and dispatched.
#pragma once

#include <windows.h>

#include <functional>

namespace winui {

// Offers a key message, before it is dispatched, to the controls of the
// top-level window it is for: Enter and Escape without modifier keys as
// dialog keys, characters as mnemonics (typed with Alt, or where the focused
// control takes no characters). True when a control took it.
bool OfferDialogKey(const MSG& msg);

// What a loop does with the quit message that ends it: the outermost loop
// takes it; a loop inside another posts it again, so that the one around it
// ends too.
enum class QuitMessage { Taken, PassedOn };

// Waits for messages and delivers them while `running` holds (asked before
// each one), until a quit message arrives.
void RunMessageLoop(const std::function<bool()>& running, QuitMessage quit);

// Lets every window message waiting for the calling thread run, then returns.
// Inside an InputHeldBack scope, mouse and keyboard input stays queued. A quit
// message is left for the loop around it, and the answer is then false.
bool ProcessMessages();

// Waits until `milliseconds` have passed since the call, waking whenever
// messages arrive meanwhile to let `letMessagesRun` run them; ends early once
// that answers false (as it must once it meets a quit message, which would
// wake the wait again at once). Waking does not stretch the wait: what is
// left is measured against the deadline.
void WaitLettingMessagesRun(unsigned milliseconds, const std::function<bool()>& letMessagesRun);

// While it lives, ProcessMessages on this thread leaves input messages in the
// queue. A window activated by a click is activated while the platform is
// still delivering that press: a handler that lets messages run then would
// deliver the release first, and the press would come after it, on its own.
class InputHeldBack {
public:
    InputHeldBack();
    InputHeldBack(const InputHeldBack&) = delete;
    InputHeldBack& operator=(const InputHeldBack&) = delete;
    ~InputHeldBack();
    static bool Active() noexcept;
};

}  // namespace winui
