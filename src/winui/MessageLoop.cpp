#include "MessageLoop.h"

#include "Window.h"

#include <chrono>

namespace winui {

namespace {

struct DialogKeyOffer {
    const MSG& msg;
    bool taken = false;
};

BOOL CALLBACK OfferToControl(HWND control, LPARAM offer)
{
    auto& o = *reinterpret_cast<DialogKeyOffer*>(offer);
    Window* window = Window::FromHandle(control);
    if (!window || !::IsWindowVisible(control) || !::IsWindowEnabled(control))
        return TRUE;
    o.taken = o.msg.message == WM_KEYDOWN ? window->WantsDialogKey(static_cast<WORD>(o.msg.wParam))
                                          : window->WantsDialogChar(static_cast<char>(o.msg.wParam));
    return !o.taken;
}

bool Pressed(int key)
{
    return ::GetKeyState(key) < 0;
}

}  // namespace

bool OfferDialogKey(const MSG& msg)
{
    if (!msg.hwnd)
        return false;
    switch (msg.message) {
    case WM_KEYDOWN:
        // Tab and Shift+Tab move the focus through the window's tab stops.
        if (msg.wParam == VK_TAB && !Pressed(VK_CONTROL) && !Pressed(VK_MENU)) {
            const HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
            const HWND next = ::GetNextDlgTabItem(root, msg.hwnd, Pressed(VK_SHIFT));
            if (!next || next == msg.hwnd)
                return false;
            ::SetFocus(next);
            return true;
        }
        if ((msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) || Pressed(VK_SHIFT) || Pressed(VK_CONTROL) ||
            Pressed(VK_MENU))
            return false;
        break;
    case WM_CHAR:
        // A control that takes characters (an edit field, a list) keeps them.
        if (::SendMessageA(msg.hwnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS)
            return false;
        break;
    case WM_SYSCHAR:
        break;
    default:
        return false;
    }
    DialogKeyOffer offer{msg};
    ::EnumChildWindows(::GetAncestor(msg.hwnd, GA_ROOT), OfferToControl, reinterpret_cast<LPARAM>(&offer));
    return offer.taken;
}

namespace {
thread_local int inputHeldBack = 0;
}

InputHeldBack::InputHeldBack()
{
    ++inputHeldBack;
}

InputHeldBack::~InputHeldBack()
{
    --inputHeldBack;
}

bool InputHeldBack::Active() noexcept
{
    return inputHeldBack > 0;
}

namespace {

void Deliver(MSG& msg)
{
    if (OfferDialogKey(msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

}  // namespace

void RunMessageLoop(const std::function<bool()>& running, QuitMessage quit)
{
    MSG msg;
    while (running()) {
        if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            if (quit == QuitMessage::PassedOn)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Deliver(msg);
    }
}

bool ProcessMessages()
{
    // Posted messages (timers among them), painting and sent messages only.
    const UINT take = PM_REMOVE | (InputHeldBack::Active() ? PM_QS_POSTMESSAGE | PM_QS_PAINT | PM_QS_SENDMESSAGE : 0);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, take)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the loop around
            return false;
        }
        Deliver(msg);
    }
    return true;
}

void WaitLettingMessagesRun(unsigned milliseconds, const std::function<bool()>& letMessagesRun)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        const Clock::duration left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return;
        // Rounded up: a time-out of 0 for the last fraction would spin.
        const auto wait = static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
        // Input held back stays queued, and would wake the wait at once again.
        const bool held = InputHeldBack::Active();
        const DWORD woke = ::MsgWaitForMultipleObjectsEx(0, nullptr, wait, held ? QS_ALLINPUT & ~QS_INPUT : QS_ALLINPUT,
                                                         held ? 0 : MWMO_INPUTAVAILABLE);
        if (woke == WAIT_FAILED) {
            ::Sleep(wait);
            return;
        }
        if (woke != WAIT_OBJECT_0)
            continue;  // timed out: the deadline decides
        // No look at the queue here: it would mark a message that came in
        // meanwhile as seen, and the next wait would not wake for it.
        if (!letMessagesRun())
            return;
    }
}

}  // namespace winui
