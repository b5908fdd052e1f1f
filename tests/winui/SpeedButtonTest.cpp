// The flat speed button under the real mouse: its face follows the pointer
// and the press, and only a release on the button clicks.
#include "Pointer.h"
#include "RealInput.h"
#include "Surface.h"

#include "winui/Application.h"
#include "winui/Form.h"
#include "winui/SpeedButton.h"

#include <gtest/gtest.h>

using namespace testing_support;
using namespace winui;

namespace {

constexpr COLORREF green = RGB(0, 128, 0);

FormDesign ButtonFormDesign()
{
    FormDesign design;
    design.left = 100;
    design.top = 100;
    design.clientWidth = 120;
    design.clientHeight = 60;
    design.color = green;
    return design;
}

class ButtonForm final : public Form {
public:
    ButtonForm() : Form(ButtonFormDesign()) {}
    SpeedButton button;

private:
    void CreateComponents() override
    {
        SpeedButtonDesign design;
        design.bounds = {20, 20, 23, 22};
        design.caption = "X";
        button.Create(Handle(), design);
    }
};

// The button's face by its frame: none, raised (light top-left corner) or
// sunken (shadow there).
enum class Face { Flat, Raised, Sunken, Other };

class SpeedButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.CreateForm(form);
        form->Show();
        button = form->button.Handle();
        form->button.OnClick = [this] { ++clicks; };
    }

    Face FaceNow() const
    {
        const auto s = Render(form->button);
        const COLORREF corner = s->At(0, 0);
        if (corner == green)
            return Face::Flat;
        if (corner == ::GetSysColor(COLOR_BTNHIGHLIGHT))
            return Face::Raised;
        if (corner == ::GetSysColor(COLOR_BTNSHADOW))
            return Face::Sunken;
        return Face::Other;
    }
    bool FaceBecomes(Face face) const
    {
        return RunMessagesUntil([&] { return FaceNow() == face; });
    }
    POINT Over() const { return OnScreen(button, {11, 11}); }
    POINT Beside() const { return OnScreen(button, {60, 11}); }

    PointerPutBack pointer;
    Application app;
    ButtonForm* form = nullptr;
    HWND button = nullptr;
    int clicks = 0;
};

}  // namespace

TEST_F(SpeedButtonTest, DraggedOffWhilePressedItShowsItsUpFaceAndAReleaseThereDoesNotClick)
{
    MoveMouseTo(Over());
    EXPECT_TRUE(FaceBecomes(Face::Raised));
    PressMouse();
    EXPECT_TRUE(FaceBecomes(Face::Sunken));
    EXPECT_EQ(::GetCapture(), button);

    // Off the button the press holds on, in the raised face; back over it, sunken again.
    MoveMouseTo(Beside());
    EXPECT_TRUE(FaceBecomes(Face::Raised));
    MoveMouseTo(Over());
    EXPECT_TRUE(FaceBecomes(Face::Sunken));
    MoveMouseTo(Beside());
    EXPECT_TRUE(FaceBecomes(Face::Raised));

    ReleaseMouse();
    EXPECT_TRUE(FaceBecomes(Face::Flat));
    EXPECT_NE(::GetCapture(), button);
    EXPECT_EQ(clicks, 0);

    // A press released on it clicks.
    MoveMouseTo(Over());
    PressMouse();
    EXPECT_TRUE(FaceBecomes(Face::Sunken));
    ReleaseMouse();
    EXPECT_TRUE(RunMessagesUntil([&] { return clicks == 1; }));
    EXPECT_EQ(FaceNow(), Face::Raised);
}

TEST_F(SpeedButtonTest, ACaptureTakenAwayMidPressLeavesTheUpFaceAndTheReleaseDoesNotClick)
{
    MoveMouseTo(Over());
    PressMouse();
    ASSERT_TRUE(FaceBecomes(Face::Sunken));
    ::SetCapture(form->Handle());  // as a message box opening takes it
    EXPECT_EQ(FaceNow(), Face::Raised);  // over it, no longer pressed
    ReleaseMouse();
    RunMessagesUntil([] { return false; }, 300);
    ::ReleaseCapture();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(FaceNow(), Face::Raised);
}
