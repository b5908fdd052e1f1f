// The widget window as the user meets it: its tree, placement, settings and commands.
#include "TessalyFixture.h"

#include "tessaly/FilePortal.h"
#include "winui/SettingsFile.h"

using namespace testing_support;

namespace {

COLORREF PixelOf(winui::Window& window, int x, int y)
{
    HDC screen = ::GetDC(nullptr);
    winui::MemoryDc dc(::CreateCompatibleDC(screen));
    winui::BitmapHandle bitmap(::CreateCompatibleBitmap(screen, window.Width(), window.Height()));
    ::ReleaseDC(nullptr, screen);
    winui::ScopedSelect select(dc.Get(), bitmap.Get());
    ::SendMessageA(window.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    return ::GetPixel(dc.Get(), x, y);
}

}  // namespace

class WidgetTest : public TessalyTest {};

TEST_F(WidgetTest, PanelsAreLaidOutAsDesigned)
{
    StartForms();
    ShowWidget();
    EXPECT_EQ(PixelOf(Form1->RbPanel1, 5, 28), RGB(0, 0x8C, 0));
    EXPECT_EQ(Form1->RbPanel1.Bounds().top, 360);
    EXPECT_TRUE(Form1->RbPanel1.Visible());
}
