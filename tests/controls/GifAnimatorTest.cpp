// The animated picture on a real window: frame delays, the clock's steps,
// the composed frames read back as pixels over the parent's colour, and the
// picture moving on from its own thread while the GUI thread is held up.
#include "ControlFixture.h"
#include "Surface.h"

#include "controls/RxGIFAnimator.h"
#include "winui/Form.h"

#include <fstream>
#include <iterator>

using namespace testing_support;

namespace {

constexpr COLORREF parentColour = RGB(20, 160, 90);

std::vector<std::uint8_t> ReadReference(const std::string& name)
{
    std::ifstream in(std::string("Z:") + LARKSPAN_GIF_DIR + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class HostForm final : public winui::Form {
public:
    HostForm() : Form([] {
        winui::FormDesign d = HostFormDesign(200, 100);
        d.color = parentColour;
        return d;
    }()) {}
    TRxGIFAnimator picture;

private:
    void CreateComponents() override { picture.Create(Handle(), {}); }
};

class GifAnimatorTest : public ControlTest {
protected:
    void SetUp() override
    {
        form = &ShowForm<HostForm>();
    }
    // The four frames on a 24 x 18 screen that ImageMagick wrote, with delays
    // of 0, 2, 500 and 7 hundredths and every disposal method.
    void LoadDisposalImage()
    {
        form->picture.SetImage(TGIFImage::FromBytes(ReadReference("disposal.gif")));
    }
    HostForm* form = nullptr;
};

}  // namespace

TEST_F(GifAnimatorTest, FramesWaitTheirDelaysWithinTheLimits)
{
    TRxGIFAnimator& picture = form->picture;
    LoadDisposalImage();
    EXPECT_EQ(picture.Width(), 24);  // AutoSize
    EXPECT_EQ(picture.Height(), 18);
    EXPECT_EQ(picture.FrameDelay(0), 50);
    EXPECT_EQ(picture.FrameDelay(1), 50);
    EXPECT_EQ(picture.FrameDelay(2), 5000);
    EXPECT_EQ(picture.FrameDelay(3), 70);
    EXPECT_EQ(picture.FrameDelay(4), 0);
    EXPECT_EQ(picture.ClockInterval(), 50u);
    picture.SetFrameIndex(1);
    picture.AdvanceFrame();
    EXPECT_EQ(picture.FrameIndex(), 2);
    EXPECT_EQ(picture.ClockInterval(), 5000u);

    // A still image has no delay and never moves on.
    picture.SetImage(TGIFImage::FromBytes(ReadReference("gradient.gif")));
    EXPECT_EQ(picture.FrameDelay(0), 0);
    EXPECT_EQ(picture.ClockInterval(), 0u);
    picture.SetAnimate(true);
    picture.AdvanceFrame();
    EXPECT_EQ(picture.FrameIndex(), 0);
}

TEST_F(GifAnimatorTest, WithoutLoopTheAnimationStopsOnWrappingToTheFirstFrame)
{
    TRxGIFAnimator& picture = form->picture;
    LoadDisposalImage();
    int starts = 0, stops = 0, changes = 0;
    picture.OnStart = [&] { ++starts; };
    picture.OnStop = [&] { ++stops; };
    picture.OnFrameChanged = [&] { ++changes; };
    picture.SetAnimate(true);
    EXPECT_TRUE(picture.Animate());
    for (int i = 0; i < 4; ++i)
        picture.AdvanceFrame();
    EXPECT_EQ(picture.FrameIndex(), 0);  // wrapped, still going
    EXPECT_TRUE(picture.Animate());

    picture.SetLoop(false);
    for (int i = 0; i < 3; ++i)
        picture.AdvanceFrame();
    EXPECT_TRUE(picture.Animate());
    picture.AdvanceFrame();  // the last frame, then frame 0 again
    EXPECT_EQ(picture.FrameIndex(), 0);
    EXPECT_FALSE(picture.Animate());
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(changes, 8);
}

TEST_F(GifAnimatorTest, ComposedFramesShowOverTheParentCentredOrStretched)
{
    TRxGIFAnimator& picture = form->picture;
    LoadDisposalImage();
    // Every frame as ImageMagick composes it; its transparent pixels show
    // the parent's colour.
    auto expectFrame = [&](int frame, int left, int top, int scale) {
        const std::vector<std::uint8_t> shown = ReadReference("disposal.shown." + std::to_string(frame) + ".rgba");
        ASSERT_EQ(shown.size(), 24u * 18 * 4);
        const auto surface = Render(picture);
        int wrong = 0;
        for (int y = 0; y < 18 * scale; ++y)
            for (int x = 0; x < 24 * scale; ++x) {
                const std::uint8_t* p = &shown[static_cast<std::size_t>((y / scale) * 24 + x / scale) * 4];
                const COLORREF expected = p[3] == 0 ? parentColour : RGB(p[0], p[1], p[2]);
                wrong += surface->At(left + x, top + y) != expected;
            }
        EXPECT_EQ(wrong, 0) << "frame " << frame;
    };
    for (int frame = 0; frame < 4; ++frame) {
        if (frame > 0)
            picture.AdvanceFrame();  // in order, over the previous composition
        expectFrame(frame, 0, 0, 1);
    }
    picture.SetAutoSize(false);
    form->picture.SetBounds({0, 0, 40, 30});
    picture.SetCenter(true);
    picture.SetFrameIndex(2);  // a jump: composed again from the first frame
    expectFrame(2, 8, 6, 1);
    EXPECT_EQ(Render(picture)->At(3, 3), parentColour);
    picture.SetStretch(true);
    form->picture.SetBounds({0, 0, 48, 36});
    expectFrame(1 + 1, 0, 0, 2);
}

TEST_F(GifAnimatorTest, TheClocksOwnThreadMovesThePictureWhileTheGuiThreadIsBusy)
{
    TRxGIFAnimator& picture = form->picture;
    TGIFImage searching = TGIFImage::FromResource("SEARCHING");
    ASSERT_GE(searching.Count(), 4);
    searching.SetFrameIndex(3);
    picture.SetImage(searching);
    EXPECT_EQ(picture.FrameIndex(), 3);
    std::vector<DWORD> eventThreads;
    picture.OnFrameChanged = [&] { eventThreads.push_back(::GetCurrentThreadId()); };
    picture.SetAsyncDrawing(true);
    picture.SetAnimate(true);
    ::RedrawWindow(picture.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

    const int before = picture.FrameIndex();
    ::Sleep(1000);  // no messages taken: only the clock's thread can move it on
    const int moved = (picture.FrameIndex() - before + searching.Count()) % searching.Count();
    EXPECT_NE(moved, 0);
    EXPECT_TRUE(eventThreads.empty());  // the events wait for this thread

    // What the clock's thread drew is on the window: stopped, nothing has
    // repainted it yet.
    picture.SetAnimate(false);
    winui::WindowDc screen(picture.Handle());
    Surface drawn(32, 32);
    ::BitBlt(drawn.Dc(), 0, 0, 32, 32, screen.Get(), 0, 0, SRCCOPY);
    const auto expected = Render(picture);
    int wrong = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            wrong += drawn.At(x, y) != expected->At(x, y);
    EXPECT_EQ(wrong, 0) << "frame " << picture.FrameIndex();

    winui::ProcessMessages();
    ASSERT_FALSE(eventThreads.empty());
    for (DWORD thread : eventThreads)
        EXPECT_EQ(thread, ::GetCurrentThreadId());

    // Without Loop, the end of the run comes to this thread, which stops it
    // on frame 0.
    int stops = 0;
    picture.OnStop = [&] { ++stops; };
    picture.SetLoop(false);
    picture.SetAnimate(true);
    for (int i = 0; i < 300 && picture.Animate(); ++i) {
        winui::ProcessMessages();
        ::Sleep(10);
    }
    EXPECT_FALSE(picture.Animate());
    EXPECT_EQ(picture.FrameIndex(), 0);
    EXPECT_EQ(stops, 1);
}
