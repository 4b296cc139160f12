// Animated pictures: frames and their delays, frame timing on the window's one
// animation clock, play/pause/auto-play, and no work while hidden or minimised.
#include "uilib/tests/TestWindow.h"
#include "uilib/UIImage.h"
#include "uilib/Render.h"
#include <gtest/gtest.h>

namespace {

// Red 50 ms, green with no delay (plays at 100 ms), blue 300 ms; loops forever.
std::wstring ThreeFrameGif() {
    static std::wstring path = WriteScratchFile(L"three.gif", MakeGif({{0, 5}, {1, 0}, {2, 30}}, 0));
    return path;
}

TEST(Gif, FramesAreDecodedOnceWithTheirDelays) {
    CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
    auto image = UIImage::Load(ThreeFrameGif());
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->FrameCount(), 3u);
    EXPECT_EQ(image->Width(), 4);
    EXPECT_EQ(image->GetFrame(0).delayMs, 50u);
    EXPECT_EQ(image->GetFrame(1).delayMs, 100u);
    EXPECT_EQ(image->GetFrame(2).delayMs, 300u);
    // Premultiplied blue in the last frame: B G R A.
    const BYTE* px = image->GetFrame(2).pixels;
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[2], 0);
    EXPECT_EQ(px[3], 255);

    const struct {
        UINT in, out;
    } delays[] = {{0, 100}, {10, 100}, {19, 100}, {20, 20}, {70, 70}};
    for (const auto& d : delays) EXPECT_EQ(UIImage::NormalizeDelay(d.in), d.out);
    EXPECT_EQ(UIImage::Decode("GIF89a", 6), nullptr);
    EXPECT_EQ(UIImage::Load(L"C:\\no\\such\\file.gif"), nullptr);
}

struct GifWindow {
    CContainerUI* root = new CContainerUI;
    CGifAnimUI* gif = new CGifAnimUI;
    TestWindow wnd;
    GifWindow() {
        gif->SetMyPos({0, 0, 40, 40});
        root->Add(gif);
        wnd.Open(root, 60, 60);
    }
};

TEST(Gif, FramesFollowTheirOwnDelaysAndLoop) {
    GifWindow w;
    w.gif->SetAutoPlay(false);
    w.gif->SetBkImage(ThreeFrameGif().c_str());
    ASSERT_EQ(w.gif->GetFrameCount(), 3u);
    w.gif->PlayGif();
    // The clock asks the control at chosen times: the answer is the wait to the next frame.
    DWORD now = ::GetTickCount();
    DWORD due = now + w.gif->OnAnimationTick(now);
    EXPECT_EQ(w.gif->GetCurrentFrame(), 0u);
    EXPECT_EQ(w.gif->OnAnimationTick(due), 100u);  // now on the green frame
    EXPECT_EQ(w.gif->GetCurrentFrame(), 1u);
    EXPECT_EQ(w.gif->OnAnimationTick(due + 99), 1u);
    EXPECT_EQ(w.gif->GetCurrentFrame(), 1u);
    EXPECT_EQ(w.gif->OnAnimationTick(due + 100), 300u);
    EXPECT_EQ(w.gif->GetCurrentFrame(), 2u);
    EXPECT_EQ(w.gif->OnAnimationTick(due + 400), 50u);  // back to the first frame
    EXPECT_EQ(w.gif->GetCurrentFrame(), 0u);
    // After a long stall it goes on from now instead of racing through the backlog.
    DWORD wait = w.gif->OnAnimationTick(due + 100000);
    EXPECT_LE(wait, 300u);
    // What is shown is the current frame.
    TestWindow::Pixels px = w.wnd.Snapshot();
    DWORD expected[] = {0xFF0000, 0x00FF00, 0x0000FF};
    EXPECT_EQ(px.At(20, 20), expected[w.gif->GetCurrentFrame()]);
}

TEST(Gif, AFiniteLoopCountEndsOnTheLastFrame) {
    GifWindow w;
    std::wstring once = WriteScratchFile(L"once.gif", MakeGif({{0, 10}, {1, 10}}, 1));
    w.gif->SetBkImage(once.c_str());
    auto image = UIImage::Load(once);
    ASSERT_NE(image, nullptr);
    if (image->LoopCount() != 1) GTEST_SKIP() << "this GDI+ does not report the loop count";
    DWORD now = ::GetTickCount();
    DWORD due = now + w.gif->OnAnimationTick(now);
    EXPECT_EQ(w.gif->OnAnimationTick(due), 100u);
    EXPECT_EQ(w.gif->OnAnimationTick(due + 100), 0u);  // done: leaves the clock
    EXPECT_EQ(w.gif->GetCurrentFrame(), 1u);
}

TEST(Gif, PlayingFollowsAutoPlayUntilToldOtherwise) {
    GifWindow w;
    std::wstring gif = ThreeFrameGif();
    // The tile's sequences: picture set, auto-play chosen, then play or pause.
    const struct {
        bool autoPlay;
        int call;  // 0 none, 1 PlayGif, 2 PauseGif
        bool playing;
    } cases[] = {{false, 0, false}, {true, 0, true}, {false, 1, true}, {true, 2, false}, {true, 1, true}};
    for (const auto& c : cases) {
        w.gif->SetBkImage(L"");
        w.gif->SetBkImage(gif.c_str());
        w.gif->SetAutoPlay(c.autoPlay);
        if (c.call == 1) w.gif->PlayGif();
        if (c.call == 2) w.gif->PauseGif();
        EXPECT_EQ(w.gif->IsPlaying(), c.playing) << (&c - cases);
        EXPECT_EQ(w.wnd.pm.IsAnimating(w.gif), c.playing) << (&c - cases);
        EXPECT_EQ(w.gif->IsAutoPlay(), c.autoPlay);
    }
    // Setting the same picture again keeps the frame.
    w.gif->PlayGif();
    DWORD now = ::GetTickCount();
    w.gif->OnAnimationTick(now + w.gif->OnAnimationTick(now));
    EXPECT_EQ(w.gif->GetCurrentFrame(), 1u);
    w.gif->SetBkImage(gif.c_str());
    EXPECT_EQ(w.gif->GetCurrentFrame(), 1u);
    // A still picture never joins the clock.
    std::wstring still = WriteScratchFile(L"still.gif", MakeGif({{3, 0}}));
    w.gif->SetBkImage(still.c_str());
    w.gif->PlayGif();
    EXPECT_EQ(w.gif->GetFrameCount(), 1u);
    EXPECT_FALSE(w.wnd.pm.IsAnimating(w.gif));
}

TEST(Gif, EighteenShareOneClockThatStopsWhenNothingIsSeen) {
    auto* root = new CContainerUI;
    std::vector<CGifAnimUI*> gifs;
    for (int i = 0; i < 18; i++) {
        auto* g = new CGifAnimUI;
        g->SetMyPos({(i % 6) * 20, (i / 6) * 20, (i % 6) * 20 + 20, (i / 6) * 20 + 20});
        g->SetMyAutoSize(true);
        g->SetBkImage(ThreeFrameGif().c_str());
        root->Add(g);
        gifs.push_back(g);
    }
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 120, 60));
    EXPECT_EQ(wnd.pm.GetAnimationCount(), 18u);
    EXPECT_TRUE(wnd.pm.IsClockRunning());

    // The clock really runs: frames move on while messages are pumped.
    DWORD start = ::GetTickCount();
    while (gifs[0]->GetCurrentFrame() == 0 && ::GetTickCount() - start < 3000) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        TestWindow::Pump();
    }
    EXPECT_NE(gifs[0]->GetCurrentFrame(), 0u);

    // Hidden pictures leave the clock; shown again, they come back.
    gifs[0]->SetVisible(false);
    EXPECT_EQ(wnd.pm.GetAnimationCount(), 17u);
    gifs[0]->SetVisible(true);
    EXPECT_EQ(wnd.pm.GetAnimationCount(), 18u);
    root->SetVisible(false);  // hides all of them through their parent
    EXPECT_EQ(wnd.pm.GetAnimationCount(), 0u);
    EXPECT_FALSE(wnd.pm.IsClockRunning());
    root->SetVisible(true);
    EXPECT_EQ(wnd.pm.GetAnimationCount(), 18u);

    // Minimised: the next tick stops the clock; restored, it runs again.
    ::ShowWindow(wnd.GetHWND(), SW_MINIMIZE);
    TestWindow::Pump();
    wnd.SendMessageW(WM_TIMER, 0x7F00, 0);
    EXPECT_FALSE(wnd.pm.IsClockRunning());
    UINT frame = gifs[1]->GetCurrentFrame();
    start = ::GetTickCount();
    while (::GetTickCount() - start < 400) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        TestWindow::Pump();
    }
    EXPECT_EQ(gifs[1]->GetCurrentFrame(), frame);
    ::ShowWindow(wnd.GetHWND(), SW_RESTORE);
    TestWindow::Pump();
    EXPECT_TRUE(wnd.pm.IsClockRunning());
}

TEST(Gif, FittedPicturesKeepTheirAspectAndCentre) {
    const struct {
        RECT box;
        int w, h;
        RECT want;
    } cases[] = {
        {{0, 0, 100, 100}, 200, 100, {0, 25, 100, 75}},   // wide: full width
        {{0, 0, 100, 100}, 50, 200, {37, 0, 62, 100}},    // tall: full height
        {{0, 0, 100, 100}, 40, 20, {30, 40, 70, 60}},     // small: kept, centred
        {{10, 10, 30, 50}, 40, 40, {10, 20, 30, 40}},     // square into a tall box
        {{0, 0, 100, 100}, 10000, 1, {0, 49, 100, 50}},   // never thinner than a pixel
    };
    for (const auto& c : cases) {
        RECT got = render::FitRect(c.box, c.w, c.h);
        EXPECT_TRUE(::EqualRect(&got, &c.want))
            << c.w << "x" << c.h << " -> " << got.left << "," << got.top << "," << got.right << "," << got.bottom;
    }
}

}  // namespace
