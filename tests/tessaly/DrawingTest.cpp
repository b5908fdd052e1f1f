// The painted look, rendered into real bitmaps and read back pixel by pixel:
// gradient panels, the document list's items and the menu rows.
#include "Surface.h"
#include "TessalyFixture.h"

#include "core/OwnerDrawing.h"
#include "tessaly/FilePortal.h"
#include "tessaly/OwnerDraw.h"
#include "winui/Handles.h"
#include "winui/Painting.h"

#include <algorithm>

using namespace testing_support;

namespace {

constexpr COLORREF Hex(unsigned rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

class PanelForm final : public winui::Form {
public:
    PanelForm() : Form(HostFormDesign(400, 300)) {}
    TRbPanel bar;
    TRbPanel round;

private:
    void CreateComponents() override
    {
        RbPanelDesign design;
        design.bounds = {0, 0, 178, 30};
        design.antialiased = false;
        design.gradient = true;
        design.gradientType = gtDoubleVert;
        design.defaultFrom = Hex(0x1084D0);
        design.defaultTo = Hex(0x71B8FF);
        design.cornerWidth = 0;
        design.borderWidth = 1;
        design.borderColor = clGray;
        design.showCaption = false;
        bar.Create(Handle(), design);

        design = RbPanelDesign();
        design.bounds = {0, 40, 178, 100};
        design.color = clWhite;
        design.cornerWidth = 15;
        design.borderWidth = 3;
        design.borderColor = RGB(0, 0, 200);
        design.outerColor = RGB(200, 0, 0);
        design.caption = "A caption far too long to fit into the panel's width at all";
        design.font = winui::FontSpec().Face("Arial").Height(-16).Bold().Color(clBlack);
        design.textShadow = false;
        round.Create(Handle(), design);
    }
};

class DrawingTest : public TessalyTest {};

}  // namespace

TEST_F(DrawingTest, DoubleVerticalTitleBarWithSquareOnePixelBorder)
{
    PanelForm* form = &app->CreateForm<PanelForm>();
    const auto s = Render(form->bar);
    // From colour in the middle row, the ramp towards `to` above and below.
    EXPECT_EQ(s->At(40, 15), Hex(0x1084D0));
    const larkspan::GradientRamp ramp(larkspan::GradientType::DoubleVert, {0x10, 0x84, 0xD0}, {0x71, 0xB8, 0xFF},
                                      {0, 0, 178, 30});
    for (int y : {1, 7, 22, 28}) {
        const larkspan::Rgb c = ramp.At(40, y);
        EXPECT_EQ(s->At(40, y), RGB(c.r, c.g, c.b)) << y;
    }
    EXPECT_EQ(ramp.At(40, 0), (larkspan::Rgb{0x71, 0xB8, 0xFF}));
    // A one-pixel square border: every corner and edge pixel is grey, the
    // pixel inside each corner already gradient.
    for (auto [x, y] : {std::pair{0, 0}, {177, 0}, {0, 29}, {177, 29}, {90, 0}, {0, 15}, {177, 15}, {90, 29}})
        EXPECT_EQ(s->At(x, y), clGray) << x << "," << y;
    EXPECT_NE(s->At(1, 1), clGray);
    EXPECT_NE(s->At(176, 28), clGray);
}

TEST_F(DrawingTest, AntialiasedPanelSmoothsItsCornersAndFillsItsInside)
{
    PanelForm* form = &app->CreateForm<PanelForm>();
    form->round.SetShowCaption(false);
    const auto s = Render(form->round);
    EXPECT_EQ(s->At(0, 0), RGB(200, 0, 0));      // outside the rounded corner
    EXPECT_EQ(s->At(89, 50), clWhite);            // the inside is solid Color
    EXPECT_EQ(s->At(89, 1), RGB(0, 0, 200));      // the border
    // Along the rounded corner the border is blended with the outer colour.
    int blended = 0;
    std::string dump;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const COLORREF c = s->At(x, y);
            dump += std::to_string(GetRValue(c)) + "/" + std::to_string(GetBValue(c)) + " ";
            if (GetRValue(c) > 0 && GetRValue(c) < 200 && GetBValue(c) > 0)
                ++blended;
        }
        dump += "\n";
    }
    EXPECT_GE(blended, 2) << dump;
}

TEST_F(DrawingTest, SystemColoursPaintAsTheSystemShowsThem)
{
    // Five different system colours, so each shows where it is meant to.
    const std::vector<COLORREF> sys{::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNSHADOW),
                                    ::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_HIGHLIGHT),
                                    ::GetSysColor(COLOR_3DDKSHADOW)};
    for (std::size_t i = 0; i < sys.size(); ++i)
        for (std::size_t j = i + 1; j < sys.size(); ++j)
            ASSERT_NE(sys[i], sys[j]) << i << " " << j;

    PanelForm* form = &app->CreateForm<PanelForm>();
    RbPanelDesign design = form->round.Design();
    design.outerColor = clBtnFace;
    design.borderColor = clBtnShadow;
    design.color = clWindow;
    design.font.Color(clHighlight);
    design.textShadowColor = cl3DDkShadow;
    design.textShadow = true;
    design.caption = "HHHH";
    design.captionPosition = cpMiddleCenter;
    TRbPanel panel;
    panel.Create(form->Handle(), design);
    const auto s = Render(panel);
    EXPECT_EQ(s->At(0, 0), sys[0]);   // outside the rounded corner
    EXPECT_EQ(s->At(89, 1), sys[1]);  // the border
    EXPECT_EQ(s->At(20, 50), sys[2]); // the inside
    int face = 0;
    int shadow = 0;
    for (int y = 0; y < panel.Height(); ++y)
        for (int x = 0; x < panel.Width(); ++x) {
            face += s->At(x, y) == sys[3];
            shadow += s->At(x, y) == sys[4];
        }
    EXPECT_GT(face, 20);
    EXPECT_GT(shadow, 10);

    // A colour set later goes the same way.
    panel.SetOuterColor(clBtnShadow);
    EXPECT_EQ(Render(panel)->At(0, 0), sys[1]);
}

TEST_F(DrawingTest, CaptionPositionRebuildsOnlyForTheGroupBox)
{
    PanelForm* form = &app->CreateForm<PanelForm>();
    TRbPanel& panel = form->round;
    const int builds = panel.BuildCount();
    panel.SetCaptionPosition(cpMiddleCenter);
    panel.SetCaptionPosition(cpBottomRight);
    EXPECT_EQ(panel.BuildCount(), builds);
    EXPECT_EQ(Render(panel)->At(89, 1), RGB(0, 0, 200));

    panel.SetCaptionPosition(cpGroupBox);
    EXPECT_EQ(panel.BuildCount(), builds + 1);
    panel.SetShowCaption(false);
    const auto s = Render(panel);
    EXPECT_NE(s->At(170, 1), RGB(0, 0, 200));  // the top border moved down by half the caption
    int top = 0;
    while (top < 40 && s->At(170, top) != RGB(0, 0, 200))
        ++top;
    EXPECT_GE(top, 6);

    // Aligned children get the inside of the border; a group box leaves room for its caption.
    const RECT inside = panel.AdjustClientRect();
    EXPECT_EQ(inside.left, 4);
    EXPECT_GT(inside.top, 4);
}

TEST_F(DrawingTest, LongCaptionEndsInAnEllipsisOnOneLine)
{
    PanelForm* form = &app->CreateForm<PanelForm>();
    TRbPanel& panel = form->round;
    // '=' leaves the baseline empty: only the ellipsis' dots stand there.
    panel.SetCaption(std::string(60, '='));
    const auto s = Render(panel);
    int lowest = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < panel.Width(); ++x)
            if (s->At(x, y) == clBlack)
                lowest = y;
    ASSERT_GT(lowest, 0);
    int runs = 0;
    int rightmost = 0;
    bool inRun = false;
    for (int x = 0; x < panel.Width(); ++x) {
        const bool ink = s->At(x, lowest) == clBlack;
        if (ink && !inRun)
            ++runs;
        if (ink)
            rightmost = x;
        inRun = ink;
    }
    EXPECT_EQ(runs, 3);
    EXPECT_LT(rightmost, panel.Width() - (15 + 3) / 2);  // inside the text rectangle
    EXPECT_GT(rightmost, panel.Width() / 2);
    // One line only: nothing below the first line of text.
    for (int x = 0; x < panel.Width(); ++x)
        EXPECT_NE(s->At(x, lowest + 20), clBlack);
}

TEST_F(DrawingTest, CustomControlEventsAndStyleManager)
{
    PanelForm* form = &app->CreateForm<PanelForm>();
    TRbPanel& panel = form->round;
    int entered = 0;
    int left = 0;
    panel.OnMouseEnter = [&] { ++entered; };
    panel.OnMouseLeave = [&] { ++left; };
    ::SendMessageA(panel.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ::SendMessageA(panel.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
    ::SendMessageA(panel.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);

    form->Show();
    ::SendMessageA(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(panel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(::GetFocus(), panel.Handle());

    // The second press of a quick double press is a press like the first,
    // with every button; a left one takes the focus.
    std::vector<winui::MouseButton> presses;
    panel.OnMouseDown = [&](winui::MouseButton button, int, int) { presses.push_back(button); };
    ::SetFocus(form->Handle());
    const std::pair<UINT, UINT> doublePresses[] = {{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK},
                                                   {WM_RBUTTONDOWN, WM_RBUTTONDBLCLK},
                                                   {WM_MBUTTONDOWN, WM_MBUTTONDBLCLK}};
    for (const auto& [press, second] : doublePresses) {
        ::SendMessageA(panel.Handle(), press, 0, MAKELPARAM(5, 5));
        ::SendMessageA(panel.Handle(), press + 1, 0, MAKELPARAM(5, 5));
        if (press == WM_LBUTTONDOWN)
            ::SetFocus(form->Handle());
        ::SendMessageA(panel.Handle(), second, 0, MAKELPARAM(5, 5));
        ::SendMessageA(panel.Handle(), press + 1, 0, MAKELPARAM(5, 5));
        if (press == WM_LBUTTONDOWN) {
            EXPECT_EQ(::GetFocus(), panel.Handle());
        }
    }
    using winui::MouseButton;
    EXPECT_EQ(presses, (std::vector<MouseButton>{MouseButton::Left, MouseButton::Left, MouseButton::Right,
                                                 MouseButton::Right, MouseButton::Middle, MouseButton::Middle}));

    {
        TRbStyleManager manager;
        panel.SetRbStyleManager(&manager);
        form->bar.SetRbStyleManager(&manager);
        EXPECT_EQ(manager.Controls().size(), 2u);
        panel.SetRbStyleManager(nullptr);
        EXPECT_EQ(manager.Controls().size(), 1u);
    }
    EXPECT_EQ(form->bar.RbStyleManager(), nullptr);  // the manager's end unregisters
    panel.SetAbout("ignored");
    EXPECT_EQ(panel.About(), "Larkspan styled controls");
}

TEST_F(DrawingTest, SettersRefuseWhatThePanelCannotTake)
{
    PanelForm* form = &app->CreateForm<PanelForm>();
    TRbPanel& panel = form->round;
    const int builds = panel.BuildCount();
    panel.SetCornerWidth(-1);
    panel.SetBorderWidth(0);
    panel.SetCornerWidth(15);  // unchanged
    EXPECT_EQ(panel.BuildCount(), builds);
    EXPECT_EQ(panel.Design().cornerWidth, 15);
    EXPECT_EQ(panel.Design().borderWidth, 3);
    panel.SetDefaultFrom(RGB(1, 2, 3));  // only repaints
    EXPECT_EQ(panel.BuildCount(), builds);

    panel.SetGradient(true);  // refused while antialiased
    EXPECT_FALSE(panel.Design().gradient);
    panel.SetAntialiased(false);
    panel.SetGradient(true);
    EXPECT_TRUE(panel.Design().gradient);
    panel.SetAntialiased(true);  // turns the gradient off
    EXPECT_FALSE(panel.Design().gradient);
    EXPECT_EQ(panel.BuildCount(), builds + 3);

    // The caption flags live in the base control; the design tells them as they are now.
    EXPECT_FALSE(panel.Design().textShadow);
    panel.SetTextShadow(true);
    panel.SetShowCaption(false);
    EXPECT_TRUE(panel.Design().textShadow);
    EXPECT_FALSE(panel.Design().showCaption);
}

TEST_F(DrawingTest, ListItemsShowIconNameAndHighlight)
{
    WriteSiblingLists("C:\\Music\\song.mp3\r\nC:\\Work\\An exceedingly long document name that cannot fit.txt\r\n",
                      "");
    AddRecent("Report.doc");
    MakeShortcut(RecentFolder() + "\\Photo.JPG.lnk", "C:\\docs\\Photo.JPG");
    MakeShortcut(RecentFolder() + "\\LETTER.DOC.LNK", "C:\\docs\\LETTER.DOC");
    StartForms();
    ShowWidget();
    const std::vector<std::string> items = Items();
    ASSERT_EQ(items.size(), 5u);
    Form1->ListBox1.SetItemIndex(IndexOf("Report.doc.lnk"));
    const auto s = Render(Form1->ListBox1);

    // Each item's icon, compared with the image list's own picture on white;
    // on the selected item only the picture's own pixels count, as the
    // gradient shows through the transparent ones.
    auto iconMatches = [&](const std::string& item, int index) {
        const bool selected = item == "Report.doc.lnk";
        Surface expected(16, 16);
        expected.Fill(clWhite);
        Form1->ImageList1.Draw(expected.Dc(), index, 0, 0);
        const int top = IndexOf(item) * 21;
        int differences = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (expected.At(x, y) != s->At(2 + x, top + 2 + y) && (!selected || expected.At(x, y) != clWhite))
                    ++differences;
        return differences == 0;
    };
    EXPECT_TRUE(iconMatches("C:\\Music\\song.mp3", 6));
    EXPECT_TRUE(iconMatches("Photo.JPG.lnk", 24));
    EXPECT_TRUE(iconMatches("LETTER.DOC.LNK", 23));  // only an exact ".lnk" is removed
    EXPECT_TRUE(iconMatches("Report.doc.lnk", 26));
    EXPECT_FALSE(iconMatches("C:\\Music\\song.mp3", 23));
    EXPECT_FALSE(iconMatches("Photo.JPG.lnk", 26));

    // The selected item: cream at the top, gold at the bottom, grey outline.
    const int top = IndexOf("Report.doc.lnk") * 21;
    EXPECT_EQ(s->At(100, top + 3), Hex(0xFFF5DD));
    EXPECT_EQ(GetGValue(s->At(100, top + 19)) < 0xE0, true);
    EXPECT_EQ(s->At(0, top + 10), Hex(0xC5C5C5));
    // Unselected items are white beside their text.
    const int other = IndexOf("Photo.JPG.lnk") * 21;
    EXPECT_EQ(s->At(165, other + 10), clWhite);
    // A name too long for the item ends in an ellipsis: its last dark pixels
    // are three dots on the baseline, well inside the item's right edge.
    const int longTop = IndexOf("C:\\Work\\An exceedingly long document name that cannot fit.txt") * 21;
    int rightmost = 0;
    for (int y = longTop; y < longTop + 21; ++y)
        for (int x = 22; x < Form1->ListBox1.Width(); ++x)
            if (GetRValue(s->At(x, y)) < 0x80)
                rightmost = std::max(rightmost, x);
    int dotsRow = -1;
    for (int y = longTop; y < longTop + 21; ++y)
        if (GetRValue(s->At(rightmost, y)) < 0x80)
            dotsRow = y;
    int runs = 0;
    for (int x = rightmost - 14; x <= rightmost; ++x)
        if (GetRValue(s->At(x, dotsRow)) < 0x80 && GetRValue(s->At(x - 1, dotsRow)) >= 0x80)
            ++runs;
    EXPECT_EQ(runs, 3);
    EXPECT_LT(rightmost, Form1->ListBox1.Width());

    // Black text follows the icon.
    bool textFound = false;
    for (int x = 22; x < 80 && !textFound; ++x)
        for (int y = top + 2; y < top + 18; ++y)
            if (s->At(x, y) == RGB(0, 0, 0))
                textFound = true;
    EXPECT_TRUE(textFound);
}

TEST_F(DrawingTest, GradientRoutineDrawsItsLinesAndRestoresThePen)
{
    Surface s(30, 21);
    s.Fill(clWhite);
    winui::PenHandle pen(::CreatePen(PS_DASH, 1, RGB(1, 2, 3)));
    winui::ScopedSelect select(s.Dc(), pen.Get());
    const COLORREF a = Hex(0xFFF5DD);
    const COLORREF b = Hex(0xFFD25E);
    tessaly::DrawGradient(s.Dc(), RECT{0, 0, 30, 21}, false, {a, a, b});
    for (int y = 0; y <= 10; ++y)
        EXPECT_EQ(s.At(15, y), a) << y;
    // Lines 10 to 20 run from A towards B, each channel truncated.
    for (int j = 0; j <= 10; ++j) {
        const double t = j / 10.0;
        const COLORREF expected = RGB(0xFF, static_cast<int>(0xF5 + (0xD2 - 0xF5) * t),
                                      static_cast<int>(0xDD + (0x5E - 0xDD) * t));
        EXPECT_EQ(s.At(29, 10 + j), expected) << j;
    }
    EXPECT_EQ(s.At(0, 20), b);
    EXPECT_EQ(::GetCurrentObject(s.Dc(), OBJ_PEN), pen.Get());

    // Along x with the gutter's stops.
    tessaly::DrawGradient(s.Dc(), RECT{0, 0, 26, 21}, true, {Hex(0xDFEEF7), Hex(0x7CA8D3), Hex(0x7CA8D3)});
    EXPECT_EQ(s.At(0, 5), Hex(0xDFEEF7));
    EXPECT_EQ(s.At(13, 5), Hex(0x7CA8D3));
    EXPECT_EQ(s.At(25, 5), Hex(0x7CA8D3));
    EXPECT_EQ(s.At(27, 5), a);  // nothing beyond the rectangle
}

TEST_F(DrawingTest, MenuRowsAreTallFlatRowsWithAGutter)
{
    StartForms();
    tessaly::TMenuDrawing drawing(Form1->ImageList2);
    Surface s(200, 40);
    winui::FontHandle menuFont(::CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
    winui::ScopedSelect font(s.Dc(), menuFont.Get());
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(s.Dc(), &metrics);

    int width = 0;
    int height = 0;
    drawing.Measure(Form1->CloseonDocumentOpen1, s.Dc(), width, height);
    // The bold caption's line, one empty hint line and 13 pixels.
    EXPECT_GE(height, 2 * metrics.tmHeight + 13);
    EXPECT_LE(height, 2 * (metrics.tmHeight + metrics.tmExternalLeading) + 13 + 2);
    EXPECT_GT(width, 26 + 8);
    drawing.Measure(Form1->N1, s.Dc(), width, height);
    EXPECT_EQ(height, 3);

    const RECT row{0, 0, 200, 39};
    Form1->CloseonDocumentOpen1.SetChecked(true);
    drawing.Draw(Form1->CloseonDocumentOpen1, s.Dc(), row, false);
    EXPECT_EQ(s.At(2, 1), Hex(0xFFF5DD));         // cream-to-gold gutter
    EXPECT_EQ(s.At(0, 20), Hex(0x9E9E9E));        // its frame
    EXPECT_EQ(s.At(25, 20), Hex(0x9E9E9E));
    EXPECT_EQ(s.At(150, 30), Hex(0xFAFAFA));      // the flat row

    Form1->CloseonDocumentOpen1.SetChecked(false);
    drawing.Draw(Form1->CloseonDocumentOpen1, s.Dc(), row, false);
    EXPECT_EQ(s.At(0, 1), Hex(0xDFEEF7));         // blue gutter, light at the left
    EXPECT_EQ(s.At(20, 1), Hex(0x7CA8D3));
    EXPECT_EQ(s.At(150, 30), Hex(0xFAFAFA));

    drawing.Draw(Form1->CloseonDocumentOpen1, s.Dc(), row, true);  // highlighted
    EXPECT_EQ(s.At(150, 3), Hex(0xFFF5DD));
    EXPECT_EQ(s.At(0, 20), Hex(0xC5C5C5));

    EXPECT_THROW(tessaly::DrawGradient(s.Dc(), row, true, {RGB(1, 1, 1)}), larkspan::EMathError);
}

TEST_F(DrawingTest, TheAddressButtonShowsItsFaceAndTheBarButtonsDoNot)
{
    StartForms();
    // "..." is a button that is not flat: its face shows without the mouse.
    const auto more = Render(frmFilePortal->SpeedButton4);
    EXPECT_EQ(more->At(3, 3), ::GetSysColor(COLOR_BTNFACE));
    // "?" is flat: the bar's gradient shows around its caption.
    const auto help = Render(frmFilePortal->SpeedButton5);
    EXPECT_NE(help->At(1, 1), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(GetGValue(help->At(1, 1)), GetRValue(help->At(1, 1)));
}

TEST_F(DrawingTest, AListItemsOutlineLiesOnePixelInsideAMenuRowsOnItsEdge)
{
    const RECT r{0, 0, 40, 20};
    const COLORREF outline = RGB(0xC5, 0xC5, 0xC5);
    Surface item(40, 20), row(40, 20);
    item.Fill(clWhite);
    row.Fill(clWhite);
    tessaly::DrawHighlight(item.Dc(), r, tessaly::HighlightOf::ListItem);
    tessaly::DrawHighlight(row.Dc(), r, tessaly::HighlightOf::MenuRow);
    EXPECT_EQ(item.At(38, 10), outline);
    EXPECT_NE(item.At(39, 10), outline);
    EXPECT_EQ(row.At(39, 10), outline);
    EXPECT_EQ(item.At(20, 18), outline);
    EXPECT_EQ(row.At(20, 19), outline);
}

namespace {

// The columns and rows of a surface's dark (text) pixels within a band.
struct Ink {
    int left = -1, right = -1;
};

Ink InkIn(const Surface& s, int top, int bottom, int width)
{
    Ink ink;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < width; ++x)
            if (GetRValue(s.At(x, y)) < 0x80) {
                ink.left = ink.left < 0 ? x : std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
    return ink;
}

}  // namespace

TEST_F(DrawingTest, AReceivedPathLongerThanTheListGivesUpItsMiddleAndShowsItsFileName)
{
    StartForms();
    winui::ListBox& list = frmFilePortal->ListBox1;
    const std::vector<std::string> entries{"C:\\Users\\somebody\\Downloads\\quarterly-report.xlsx",
                                           "C:\\Users\\somebody\\Downloads\\holiday.jpg", "C:\\a.txt"};
    for (const std::string& entry : entries)
        list.Add(entry);
    // Each item drawn by the list's own handler, as the list asks its parent.
    const int width = list.Width();
    const auto s = std::make_unique<Surface>(width, 3 * 21);
    for (UINT i = 0; i < 3; ++i) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_LISTBOX;
        item.CtlID = static_cast<UINT>(::GetDlgCtrlID(list.Handle()));
        item.itemID = i;
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = list.Handle();
        item.hDC = s->Dc();
        item.rcItem = {0, static_cast<LONG>(i) * 21, width, static_cast<LONG>(i) * 21 + 21};
        ASSERT_TRUE(::SendMessageA(::GetParent(list.Handle()), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item)));
    }
    // `text` alone, drawn black on white where the item draws its text.
    const auto drawnAlone = [&](const std::string& text) {
        auto alone = std::make_unique<Surface>(width, 21);
        alone->Fill(clWhite);
        winui::ScopedSelect font(alone->Dc(), list.FontHandle());
        ::SetBkMode(alone->Dc(), TRANSPARENT);
        ::SetTextColor(alone->Dc(), RGB(0, 0, 0));
        RECT r{3, 2, width - 3, 21};
        ::DrawTextA(alone->Dc(), text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
        return alone;
    };
    // Whether the item's text ends with exactly the pixels of `text` drawn alone.
    const auto endsWith = [&](int index, const std::string& text) {
        const auto alone = drawnAlone(text);
        const Ink expected = InkIn(*alone, 0, 21, width);
        const Ink drawn = InkIn(*s, index * 21, index * 21 + 21, width);
        if (expected.right < 0 || drawn.right < 0)
            return false;
        const int offset = drawn.right - expected.right;
        // The first columns may share pixels with the separator before them.
        for (int y = 0; y < 21; ++y)
            for (int x = expected.left + 2; x <= expected.right; ++x)
                if (alone->At(x, y) != s->At(x + offset, index * 21 + y))
                    return false;
        return true;
    };

    for (int i : {0, 1}) {
        const std::string name = entries[static_cast<std::size_t>(i)].substr(entries[0].rfind('\\') + 1);
        // Too long for the list as a whole, it still ends with its file name,
        // and the text stays inside the item.
        const auto alone = drawnAlone(entries[static_cast<std::size_t>(i)]);
        winui::ScopedSelect font(alone->Dc(), list.FontHandle());
        SIZE extent{};
        ::GetTextExtentPoint32A(alone->Dc(), entries[static_cast<std::size_t>(i)].c_str(),
                                static_cast<int>(entries[static_cast<std::size_t>(i)].size()), &extent);
        ASSERT_GT(extent.cx, width - 6) << i;
        EXPECT_TRUE(endsWith(i, name)) << name;
        EXPECT_FALSE(endsWith(i, name.substr(0, name.size() - 1))) << name;
        EXPECT_LT(InkIn(*s, i * 21, i * 21 + 21, width).right, width - 3);
        // The item still holds the whole path, for Open, Move and Delete and
        // for readers from outside.
        EXPECT_EQ(list.Item(i), entries[static_cast<std::size_t>(i)]);
    }
    // A path that fits is drawn whole.
    const auto whole = drawnAlone(entries[2]);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(whole->At(x, y), s->At(x, 2 * 21 + y)) << x << "," << y;
}
