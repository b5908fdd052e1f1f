// The fading button driven by real mouse and timer messages (the timer's
// ticks are sent, not waited for) and its blended faces read back.
#include "Pointer.h"
#include "Surface.h"
#include "ControlFixture.h"

#include "controls/RbButton.h"
#include "core/Gradient.h"
#include "winui/Form.h"

#include <algorithm>
#include <vector>

using namespace testing_support;

namespace {

class HostForm final : public winui::Form {
public:
    HostForm() : Form(HostFormDesign(300, 100)) {}
    TRbButton plain, first, second;

private:
    void CreateComponents() override
    {
        RbButtonDesign design;
        design.caption = "Add Host Names to List";
        design.bounds = {10, 10, 75, 25};
        plain.Create(Handle(), design);
        design.groupIndex = 1;
        design.bounds = {100, 10, 75, 25};
        first.Create(Handle(), design);
        design.bounds = {190, 10, 75, 25};
        second.Create(Handle(), design);
    }
};

class RbButtonTest : public ControlTest {
protected:
    void SetUp() override
    {
        form = &ShowForm<HostForm>();
    }
    static void Tick(TRbButton& b) { ::SendMessageA(b.Handle(), WM_TIMER, 1, 0); }
    static void Send(TRbButton& b, UINT message, WPARAM wParam = 0, POINT at = {10, 10})
    {
        ::SendMessageA(b.Handle(), message, wParam, MAKELPARAM(at.x, at.y));
    }
    // Pressed with the mouse over it, the clicked face fully shown.
    static void Press(TRbButton& b)
    {
        MovePointer(b.Handle(), {10, 10});
        TicksToRest(b);
        Send(b, WM_LBUTTONDOWN, MK_LBUTTON);
        Tick(b);
        EXPECT_EQ(b.PressLevel(), 100);
    }
    // Ticks until the fade stops; how many it took.
    static int TicksToRest(TRbButton& b)
    {
        int ticks = 0;
        while (b.FadeRunning() && ticks < 100) {
            Tick(b);
            ++ticks;
        }
        return ticks;
    }
    // The over face's colour at a point of a 75 x 25 button.
    static larkspan::Rgb OverFace(int x, int y)
    {
        return larkspan::GradientRamp(larkspan::GradientType::Vertical, larkspan::Rgb{255, 255, 255},
                                      larkspan::Rgb{0x76, 0x94, 0xBE}, {0, 0, 75, 25})
            .At(x, y);
    }
    HostForm* form = nullptr;
};

}  // namespace

TEST_F(RbButtonTest, HoverFadesInAndOutInTenTicksAtTheSpeedsInterval)
{
    TRbButton& b = form->plain;
    EXPECT_EQ(b.FadeSpeed(), fsMedium);
    EXPECT_EQ(b.FadeInterval(), 20);
    Send(b, WM_MOUSEMOVE);
    EXPECT_TRUE(b.FadeRunning());
    EXPECT_EQ(TicksToRest(b), 10);
    EXPECT_EQ(b.HoverLevel(), 100);
    Send(b, WM_MOUSELEAVE);
    EXPECT_EQ(TicksToRest(b), 11);  // ten steps down, then the one that stops
    EXPECT_EQ(b.HoverLevel(), 0);

    b.SetFadeSpeed(fsSlow);
    EXPECT_EQ(b.FadeInterval(), 40);
    Send(b, WM_MOUSEMOVE);
    EXPECT_EQ(TicksToRest(b), 10);
}

TEST_F(RbButtonTest, APressShowsTheClickedFaceAtOnceAndTheReleaseFadesItInOneTick)
{
    TRbButton& b = form->plain;
    int clicks = 0;
    b.OnClick = [&] { ++clicks; };
    Send(b, WM_MOUSEMOVE);
    TicksToRest(b);
    Send(b, WM_LBUTTONDOWN, MK_LBUTTON);
    Tick(b);
    EXPECT_EQ(b.PressLevel(), 100);
    Send(b, WM_LBUTTONUP);
    EXPECT_EQ(clicks, 1);
    Tick(b);
    EXPECT_EQ(b.PressLevel(), 0);
    EXPECT_EQ(b.HoverLevel(), 100);  // the over face stays
    EXPECT_FALSE(b.FadeRunning());

    // Blended pixels above the caption: at hover 100 the over face shows; at
    // a level between, the formula's mix of the default and the over face.
    const larkspan::Rgb overTop = OverFace(10, 3);
    EXPECT_EQ(Render(b)->At(10, 3), RGB(overTop.r, overTop.g, overTop.b));
    Send(b, WM_MOUSELEAVE);
    for (int i = 0; i < 3; ++i)
        Tick(b);
    ASSERT_EQ(b.HoverLevel(), 70);
    const auto mixed = Render(b);
    const larkspan::Rgb under = larkspan::GradientRamp(larkspan::GradientType::Vertical, larkspan::Rgb{255, 255, 255},
                                                       larkspan::Rgb{0xAF, 0xBE, 0xD1}, {0, 0, 75, 25})
                                    .At(9, 2);  // the default face, one pixel right and down
    EXPECT_EQ(GetRValue(mixed->At(10, 3)), larkspan::BlendChannel(under.r, overTop.r, 70));
    EXPECT_EQ(GetBValue(mixed->At(10, 3)), larkspan::BlendChannel(under.b, overTop.b, 70));
}

TEST_F(RbButtonTest, GroupsKeepOneButtonDown)
{
    form->plain.Click();
    EXPECT_FALSE(form->plain.Down());  // group 0 never stays down
    form->first.Click();
    EXPECT_TRUE(form->first.Down());
    form->second.Click();
    EXPECT_TRUE(form->second.Down());
    EXPECT_FALSE(form->first.Down());
    form->second.SetDown(false);  // the last one down stays down
    EXPECT_TRUE(form->second.Down());
    form->second.SetAllowAllUp(true);
    form->second.SetDown(false);
    EXPECT_FALSE(form->second.Down());
}

TEST_F(RbButtonTest, TheFocusRectangleShowsOnlyWhenAsked)
{
    TRbButton& b = form->plain;
    ::SetFocus(b.Handle());
    const auto withRect = Render(b);
    b.SetShowFocusRect(false);
    const auto without = Render(b);
    int differences = 0;
    for (int x = 2; x < 73; ++x)
        differences += withRect->At(x, 2) != without->At(x, 2);
    EXPECT_GT(differences, 10);  // the dotted line along the top
    ::SetFocus(form->Handle());
    const auto unfocused = Render(b);
    b.SetShowFocusRect(true);
    for (int x = 2; x < 73; ++x)
        EXPECT_EQ(Render(b)->At(x, 2), unfocused->At(x, 2));
}

TEST_F(RbButtonTest, DraggedOffWhilePressedItLeavesOnceAndAReleaseThereDoesNotClick)
{
    TRbButton& b = form->plain;
    int clicks = 0, enters = 0, leaves = 0;
    b.OnClick = [&] { ++clicks; };
    b.OnMouseEnter = [&] { ++enters; };
    b.OnMouseLeave = [&] { ++leaves; };
    Press(b);

    // It holds the capture, so the moves outside keep coming to it.
    std::vector<int> hover, press;
    for (const POINT at : {POINT{-20, 10}, POINT{-40, 30}, POINT{120, 40}}) {
        MovePointer(b.Handle(), at);
        LetTrackingRun([&] {
            hover.push_back(b.HoverLevel());
            press.push_back(b.PressLevel());
        });
    }
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 1);
    // The faces fade out and never come back meanwhile.
    EXPECT_TRUE(std::is_sorted(hover.rbegin(), hover.rend()));
    EXPECT_TRUE(std::is_sorted(press.rbegin(), press.rend()));
    EXPECT_EQ(hover.back(), 0);
    EXPECT_EQ(press.back(), 0);

    Send(b, WM_LBUTTONUP, 0, {120, 40});
    EXPECT_EQ(clicks, 0);
    EXPECT_NE(::GetCapture(), b.Handle());
    Press(b);  // back over it, a press clicks as ever
    Send(b, WM_LBUTTONUP);
    EXPECT_EQ(clicks, 1);
}

TEST_F(RbButtonTest, ACaptureTakenAwayMidPressEndsThePressWithoutAClick)
{
    TRbButton& b = form->plain;
    int clicks = 0;
    b.OnClick = [&] { ++clicks; };
    Press(b);
    ::SetCapture(form->Handle());  // as a message box opening takes it
    TicksToRest(b);
    EXPECT_EQ(b.PressLevel(), 0);
    EXPECT_EQ(b.HoverLevel(), 100);  // the mouse is still over it
    const larkspan::Rgb overTop = OverFace(10, 3);
    EXPECT_EQ(Render(b)->At(10, 3), RGB(overTop.r, overTop.g, overTop.b));
    ::ReleaseCapture();
    Send(b, WM_LBUTTONUP);
    EXPECT_EQ(clicks, 0);
}
