// The gradient button and panel, painted into real bitmaps and read back,
// and driven by real mouse, focus and key messages.
#include "Pointer.h"
#include "RealInput.h"
#include "Surface.h"
#include "ControlFixture.h"

#include "controls/XiButton.h"
#include "controls/XiPanel.h"
#include "core/XiColors.h"
#include "winui/Form.h"

using namespace testing_support;
namespace xi = larkspan::xi;

namespace {

class HostForm final : public winui::Form {
public:
    HostForm() : Form(HostFormDesign(400, 480)) {}
    TXiButton button;
    TXiButton ok;
    TXiPanel panel;

private:
    void CreateComponents() override
    {
        panel.Create(Handle(), {.bounds = {0, 0, 200, 462},
                                .caption = {},
                                .font = {},
                                .alignment = taCenter,
                                .bevelInner = bvNone,
                                .bevelOuter = bvNone,
                                .bevelWidth = 1,
                                .colorScheme = TPanelColorScheme::Silver,
                                .fillDirection = fdVertical});
        XiButtonDesign design;
        design.bounds = {220, 10, 75, 25};
        design.caption = "&Go";
        design.font = winui::FontSpec().Face("Arial").Height(-13).Bold();
        design.colorScheme = TColorScheme::NeoSilver;
        button.Create(Handle(), design);
        design.bounds = {220, 50, 75, 25};
        design.caption = "OK";
        design.modalResult = winui::mrOk;
        ok.Create(Handle(), design);
    }
};

class XiControlsTest : public ControlTest {
protected:
    void SetUp() override
    {
        form = &ShowForm<HostForm>();
    }
    static void Send(const winui::Window& control, UINT message, WPARAM wParam, int x, int y)
    {
        ::SendMessageA(control.Handle(), message, wParam, MAKELPARAM(x, y));
    }
    HostForm* form = nullptr;
};

// The lowest column and row of the caption's (black) pixels.
POINT CaptionCorner(const Surface& s, int w, int h)
{
    POINT corner{w, h};
    for (int y = 2; y < h - 2; ++y)
        for (int x = 2; x < w - 2; ++x)
            if (s.At(x, y) == RGB(0, 0, 0)) {
                corner.x = std::min<LONG>(corner.x, x);
                corner.y = std::min<LONG>(corner.y, y);
            }
    return corner;
}

}  // namespace

TEST_F(XiControlsTest, NeoSilverButtonPaintsEachStateFromItsOwnSet)
{
    TXiButton& b = form->button;
    ASSERT_TRUE(b.Gradient());
    auto expectSet = [&](std::size_t set, const char* state) {
        const auto s = Render(b);
        const auto color = [&](std::size_t slot) { return b.ColorByIndex(set + slot); };
        EXPECT_EQ(s->At(10, 0), color(xi::Border)) << state;
        EXPECT_EQ(s->At(0, 12), color(xi::Border)) << state;
        EXPECT_EQ(s->At(1, 12), color(xi::Light)) << state;
        EXPECT_EQ(s->At(10, 1), color(xi::Light)) << state;
        EXPECT_EQ(s->At(73, 12), color(xi::Dark)) << state;
        EXPECT_EQ(s->At(10, 23), color(xi::Dark)) << state;
        // The corners, where each line's left-out end point shows.
        EXPECT_EQ(s->At(1, 23), color(xi::Light)) << state;
        EXPECT_EQ(s->At(73, 1), color(xi::Dark)) << state;
        EXPECT_EQ(s->At(74, 1), color(xi::Border)) << state;
        EXPECT_EQ(s->At(74, 24), color(xi::Border)) << state;
        for (int y = 2; y <= 22; y += 5)  // left of the caption: the ramp, nearest per channel
            EXPECT_EQ(s->At(4, y), xi::RampColor(color(xi::Face), color(xi::Grad), y, 25)) << state << " y " << y;
    };
    expectSet(xi::Normal, "normal");
    const POINT normalCaption = CaptionCorner(*Render(b), 75, 25);

    Send(b, WM_MOUSEMOVE, 0, 10, 10);
    EXPECT_EQ(b.VisualState(), TXiButton::State::Over);
    expectSet(xi::Over, "over");

    Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
    EXPECT_EQ(b.VisualState(), TXiButton::State::Down);
    expectSet(xi::Down, "down");
    const POINT downCaption = CaptionCorner(*Render(b), 75, 25);
    EXPECT_EQ(downCaption.x, normalCaption.x + 1);
    EXPECT_EQ(downCaption.y, normalCaption.y + 1);
    Send(b, WM_LBUTTONUP, 0, 10, 10);
    EXPECT_EQ(b.VisualState(), TXiButton::State::Over);  // released inside, the mouse still over it

    // Disabled, the disabled set shows even with the mouse over the button
    // (which no longer has the focus: losing it would make it normal).
    ::SetFocus(form->Handle());
    Send(b, WM_MOUSEMOVE, 0, 200, 10);
    Send(b, WM_MOUSEMOVE, 0, 10, 10);
    b.SetEnabled(false);
    ASSERT_EQ(b.VisualState(), TXiButton::State::Over);
    expectSet(xi::Disabled, "disabled");
    EXPECT_EQ(b.ColorByIndex(xi::Disabled + xi::Face), 15658734u);
}

TEST_F(XiControlsTest, ReleasingOutsideOrOnTheEdgeKeepsTheLastStateAndDoesNotClick)
{
    TXiButton& b = form->button;
    int clicks = 0;
    b.OnClick = [&] { ++clicks; };
    Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
    EXPECT_TRUE(b.Focused());
    Send(b, WM_LBUTTONUP, 0, 100, 10);  // outside, on the right
    EXPECT_EQ(b.VisualState(), TXiButton::State::Down);
    for (POINT edge : {POINT{0, 10}, POINT{10, 0}}) {
        Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
        Send(b, WM_LBUTTONUP, 0, edge.x, edge.y);
        EXPECT_EQ(b.VisualState(), TXiButton::State::Down);
    }
    EXPECT_EQ(clicks, 0);
    // Dragged off the button before the release: normal, and it stays so.
    Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
    Send(b, WM_MOUSEMOVE, MK_LBUTTON, 10, 10);
    Send(b, WM_MOUSEMOVE, MK_LBUTTON, 150, 10);
    EXPECT_EQ(b.VisualState(), TXiButton::State::Normal);
    Send(b, WM_LBUTTONUP, 0, 150, 10);
    EXPECT_EQ(b.VisualState(), TXiButton::State::Normal);
    EXPECT_EQ(clicks, 0);

    Send(b, WM_LBUTTONDOWN, MK_LBUTTON, 10, 10);
    Send(b, WM_LBUTTONUP, 0, 1, 1);
    EXPECT_EQ(clicks, 1);
    Send(b, WM_MOUSEMOVE, 0, 200, 10);
    // Leaving the button returns it to normal.
    Send(b, WM_MOUSEMOVE, 0, 10, 10);
    EXPECT_EQ(b.VisualState(), TXiButton::State::Over);
    Send(b, WM_MOUSEMOVE, 0, 200, 10);
    EXPECT_EQ(b.VisualState(), TXiButton::State::Normal);
}

TEST_F(XiControlsTest, ACaptureTakenAwayMidPressLeavesTheUpFaceAndTheReleaseDoesNotClick)
{
    const PointerPutBack pointer;
    TXiButton& b = form->button;
    int clicks = 0;
    b.OnClick = [&] { ++clicks; };
    MoveMouseTo(OnScreen(b.Handle(), {10, 10}));
    ASSERT_TRUE(RunMessagesUntil([&] { return b.VisualState() == TXiButton::State::Over; }));
    PressMouse();
    ASSERT_TRUE(RunMessagesUntil([&] { return b.VisualState() == TXiButton::State::Down; }));

    ::SetCapture(form->Handle());  // as a message box opening takes it
    EXPECT_EQ(b.VisualState(), TXiButton::State::Over);  // the mouse is still over it
    EXPECT_EQ(Render(b)->At(10, 1), b.ColorByIndex(xi::Over + xi::Light));
    ReleaseMouse();
    RunMessagesUntil([] { return false; }, 300);
    ::ReleaseCapture();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b.VisualState(), TXiButton::State::Over);
}

TEST_F(XiControlsTest, OneColourMakesTheSchemeCustomAndKeepsTheOthers)
{
    TXiButton& b = form->button;
    std::vector<COLORREF> before;
    for (std::size_t i = 0; i < xi::buttonColorCount; ++i)
        before.push_back(b.ColorByIndex(i));
    b.SetColorFace(RGB(1, 2, 3));
    EXPECT_EQ(b.ColorScheme(), TColorScheme::Custom);
    for (std::size_t i = 1; i < xi::buttonColorCount; ++i)
        EXPECT_EQ(b.ColorByIndex(i), before[i]) << i;
    EXPECT_EQ(b.ColorFace(), RGB(1, 2, 3));

    // A new button: csNeoDesert with white Grad colours but the normal one, no gradient.
    TXiButton fresh;
    EXPECT_EQ(fresh.ColorScheme(), TColorScheme::NeoDesert);
    EXPECT_FALSE(fresh.Gradient());
    EXPECT_EQ(fresh.ColorByIndex(xi::Normal + xi::Grad), 3653375u);
    EXPECT_EQ(fresh.ColorByIndex(xi::Over + xi::Grad), 16777215u);
}

TEST_F(XiControlsTest, KeysClickAsAButtonShould)
{
    TXiButton& b = form->button;
    int clicks = 0;
    b.OnClick = [&] { ++clicks; };
    ::SetFocus(b.Handle());
    Send(b, WM_KEYDOWN, VK_SPACE, 0, 0);
    EXPECT_EQ(b.VisualState(), TXiButton::State::Down);
    Send(b, WM_KEYUP, VK_SPACE, 0, 0);
    EXPECT_EQ(clicks, 1);

    // Enter while focused, and the mnemonic, through the form's dialog keys.
    MSG enter{b.Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(winui::OfferDialogKey(enter));
    MSG mnemonic{b.Handle(), WM_SYSCHAR, 'g', 0, 0, {}};
    EXPECT_TRUE(winui::OfferDialogKey(mnemonic));
    EXPECT_EQ(clicks, 3);
    // Escape clicks only a Cancel button.
    MSG escape{b.Handle(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_FALSE(winui::OfferDialogKey(escape));
    b.SetCancel(true);
    EXPECT_TRUE(winui::OfferDialogKey(escape));
    EXPECT_EQ(clicks, 4);
}

namespace {

struct ModalSeen {
    int resultAfterZero = -1;
    bool visibleAfterZero = false;
} modalSeen;
HostForm* modalHost = nullptr;

void CALLBACK ClickZeroThenOk(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    HostForm* host = modalHost;
    host->button.Click();  // ModalResult 0
    modalSeen = {host->ModalResult(), host->Visible()};
    host->ok.Click();
}

}  // namespace

TEST_F(XiControlsTest, AButtonWithoutAResultLeavesAModalFormOpen)
{
    form->Hide();
    modalHost = form;
    ::SetTimer(nullptr, 0, 50, ClickZeroThenOk);
    EXPECT_EQ(form->ShowModal(), winui::mrOk);
    EXPECT_EQ(modalSeen.resultAfterZero, winui::mrNone);
    EXPECT_TRUE(modalSeen.visibleAfterZero);
}

TEST_F(XiControlsTest, PanelGradientsAndBevelFrames)
{
    TXiPanel& p = form->panel;
    {
        const auto s = Render(p);
        EXPECT_EQ(s->At(100, 0), RGB(255, 255, 255));
        EXPECT_EQ(s->At(100, 231), xi::RampColor(16777215, 14344414, 231, 462));
        EXPECT_EQ(s->At(100, 461), xi::RampColor(16777215, 14344414, 461, 462));
        const COLORREF last = s->At(100, 461);
        EXPECT_LE(std::abs(GetRValue(last) - GetRValue(14344414)), 1);
        EXPECT_LE(std::abs(GetGValue(last) - GetGValue(14344414)), 1);
        EXPECT_LE(std::abs(GetBValue(last) - GetBValue(14344414)), 1);
    }
    p.SetFillDirection(fdHorizontal);
    EXPECT_EQ(Render(p)->At(199, 100), xi::RampColor(16777215, 14344414, 199, 200));

    // One raised frame: dark top and left, light bottom and right.
    p.SetBevels(bvRaised, bvNone, 1);
    const auto s = Render(p);
    EXPECT_EQ(s->At(100, 0), 6447714u);
    EXPECT_EQ(s->At(0, 100), 6447714u);
    EXPECT_EQ(s->At(100, 461), 8224125u);
    EXPECT_EQ(s->At(199, 100), 8224125u);
    EXPECT_NE(s->At(100, 1), 6447714u);  // one frame only
    p.SetBevels(bvLowered, bvNone, 1);
    EXPECT_EQ(Render(p)->At(0, 100), 8224125u);

    // A single colour keeps the scheme.
    p.SetByIndex(1, RGB(0, 0, 255));
    EXPECT_EQ(p.ColorScheme(), TPanelColorScheme::Silver);
}

TEST_F(XiControlsTest, GlyphAndCaptionAreCentredTogetherAndThePanelPlacesItsCaption)
{
    // A 10 x 10 glyph: magenta all round (its top-left pixel, left out) and
    // a red square inside.
    winui::DibSection glyph(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            unsigned char* pixel = glyph.Bits() + y * glyph.Stride() + x * 3;
            const bool inside = x >= 2 && x < 8 && y >= 2 && y < 8;
            pixel[0] = inside ? 0 : 255;  // blue
            pixel[1] = 0;
            pixel[2] = 255;  // red
        }
    TXiButton& b = form->button;
    b.SetGlyph(glyph.Get());
    b.SetCaption("");
    auto redSpan = [&](const Surface& s) {
        POINT first{-1, -1};
        for (int y = 0; y < 25 && first.x < 0; ++y)
            for (int x = 0; x < 75; ++x)
                if (s.At(x, y) == RGB(255, 0, 0)) {
                    first = {x, y};
                    break;
                }
        return first;
    };
    // Alone, the glyph is centred: its red square starts 2 pixels in.
    EXPECT_EQ(redSpan(*Render(b)).x, (75 - 10) / 2 + 2);
    EXPECT_NE(Render(b)->At((75 - 10) / 2, 12), RGB(255, 0, 255));  // magenta left out

    // Left of a caption, the pair centred; down, it moves by one pixel.
    b.SetCaption("Go");
    const auto s = Render(b);
    const POINT left = redSpan(*s);
    EXPECT_LT(left.x, (75 - 10) / 2);
    EXPECT_LT(left.x + 8, CaptionCorner(*s, 75, 25).x);
    ::SendMessageA(b.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(redSpan(*Render(b)).x, left.x + 1);
    ::SendMessageA(b.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    b.SetLayout(blGlyphTop);
    EXPECT_LT(redSpan(*Render(b)).y, CaptionCorner(*Render(b), 75, 25).y);
}

TEST_F(XiControlsTest, ThePanelPlacesItsCaptionByAlignmentAndBevels)
{
    auto captionLeft = [](TXiPanel& panel) {
        const auto s = Render(panel);
        for (int x = 0; x < panel.Width(); ++x)
            for (int y = 3; y < panel.Height() - 3; ++y)
                if (s->At(x, y) == RGB(0, 0, 0))
                    return x;
        return -1;
    };
    TXiPanel left, both;
    XiPanelDesign design;
    design.bounds = {0, 0, 120, 30};
    design.caption = "IIII";
    design.font = winui::FontSpec().Face("Arial").Height(-13).Color(RGB(0, 0, 0));
    design.alignment = taLeftJustify;
    design.bevelWidth = 3;
    left.Create(form->Handle(), design);
    design.bevelInner = bvLowered;
    both.Create(form->Handle(), design);
    const int plain = captionLeft(left);
    ASSERT_GE(plain, 3 + 2);
    EXPECT_LE(plain, 3 + 2 + 2);  // the letter's own side bearing at most
    EXPECT_EQ(captionLeft(both), plain + 3);  // moved in by the bevel width
}
