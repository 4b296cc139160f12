// Painting: colours, borders and pictures land where they should, later children
// cover earlier ones, and only what was invalidated is painted again.
#include "uilib/tests/TestWindow.h"
#include <gtest/gtest.h>

namespace {

CControlUI* Box(RECT pos, DWORD color) {
    auto* c = new CControlUI;
    c->SetMyPos(pos);
    c->SetBkColor(color);
    return c;
}

TEST(Paint, AddOrderIsPaintOrder) {
    auto* root = new CContainerUI;
    root->SetBkColor(0xFFFFFFFF);
    root->SetBorderColor(0xFFA6ADB3);
    root->SetBorderSize(1);
    root->Add(Box({10, 10, 60, 60}, 0xFFFF0000));
    root->Add(Box({40, 40, 90, 90}, 0xFF0000FF));  // overlaps the red box
    auto* hidden = Box({0, 0, 100, 100}, 0xFF00FF00);
    root->Add(hidden);
    hidden->SetVisible(false);
    // A child reaching outside its parent is cut at the parent's edge.
    auto* parent = new CContainerUI;
    parent->SetMyPos({100, 10, 120, 30});
    parent->Add(Box({0, 0, 40, 20}, 0xFF00FF00));
    root->Add(parent);
    // Half-transparent colours blend with what lies below.
    root->Add(Box({10, 100, 30, 120}, 0x800000FF));
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 150, 130));

    const struct {
        int x, y;
        DWORD rgb;
    } cases[] = {
        {0, 0, 0xA6ADB3},   {149, 129, 0xA6ADB3}, {75, 0, 0xA6ADB3},  {5, 5, 0xFFFFFF},
        {20, 20, 0xFF0000}, {50, 50, 0x0000FF},   {80, 80, 0x0000FF}, {95, 95, 0xFFFFFF},
        {110, 20, 0x00FF00}, {125, 20, 0xFFFFFF},
    };
    TestWindow::Pixels pixels = wnd.Snapshot();
    for (const auto& c : cases) EXPECT_EQ(pixels.At(c.x, c.y), c.rgb) << c.x << "," << c.y;
    DWORD blend = pixels.At(20, 110);
    EXPECT_NEAR(static_cast<int>(blend & 0xFF), 0xFF, 2);          // blue stays
    EXPECT_NEAR(static_cast<int>((blend >> 16) & 0xFF), 0x7F, 2);  // white half gone
}

DWORD HalfTransparentRed(int x, int) { return x < 2 ? 0x00000000 : 0x80FF0000; }
DWORD SolidGreen(int, int) { return 0xFF00FF00; }

TEST(Paint, PicturesWithAlphaAndStretching) {
    std::wstring png = SavePicture(L"alpha.png", 4, 4, HalfTransparentRed, L"image/png");
    std::wstring jpg = SavePicture(L"green.jpg", 8, 8, SolidGreen, L"image/jpeg");
    ASSERT_FALSE(png.empty());
    ASSERT_FALSE(jpg.empty());
    CPaintManagerUI::SetResourcePath(ScratchFolder().c_str());

    auto* root = new CContainerUI;
    root->SetBkColor(0xFFFFFFFF);
    auto* still = new CControlUI;
    still->SetMyPos({0, 0, 40, 40});
    still->SetBkImage(L"alpha.png");  // relative: resolved against the resource path
    root->Add(still);
    auto* photo = new CControlUI;
    photo->SetMyPos({50, 0, 90, 40});
    photo->SetBkImage(jpg.c_str());  // absolute
    root->Add(photo);
    auto* missing = new CControlUI;
    missing->SetMyPos({0, 50, 40, 90});
    missing->SetBkColor(0xFF0000FF);
    missing->SetBkImage(L"no-such-file.png");
    root->Add(missing);
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 100, 100));

    EXPECT_EQ(wnd.PixelAt(5, 20), 0xFFFFFFu);  // transparent columns show the white below
    DWORD blended = wnd.PixelAt(30, 20);
    EXPECT_NEAR(static_cast<int>((blended >> 16) & 0xFF), 0xFF, 3);
    EXPECT_NEAR(static_cast<int>((blended >> 8) & 0xFF), 0x7F, 3);
    DWORD green = wnd.PixelAt(70, 20);
    EXPECT_LT(static_cast<int>((green >> 16) & 0xFF), 0x20);
    EXPECT_GT(static_cast<int>((green >> 8) & 0xFF), 0xE0);
    EXPECT_EQ(wnd.PixelAt(20, 70), 0x0000FFu);  // a missing picture leaves the colour
}

// Counts how often it is painted.
class PaintCounter : public CControlUI {
public:
    int paints = 0;
    void DoPaint(HDC hDC, const RECT& rcPaint) override {
        paints++;
        CControlUI::DoPaint(hDC, rcPaint);
    }
};

TEST(Paint, OnlyInvalidatedControlsArePaintedAgain) {
    auto* root = new CContainerUI;
    PaintCounter* boxes[3];
    for (int i = 0; i < 3; i++) {
        boxes[i] = new PaintCounter;
        boxes[i]->SetMyPos({i * 60, 0, i * 60 + 50, 50});
        root->Add(boxes[i]);
    }
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 180, 60));
    ::UpdateWindow(wnd.GetHWND());
    int before[3];
    for (int i = 0; i < 3; i++) {
        before[i] = boxes[i]->paints;
        EXPECT_GE(before[i], 1);
    }

    // The two outer boxes change: the one between them is not painted again.
    boxes[0]->SetBkColor(0xFF654321);
    boxes[2]->SetBkColor(0xFF123456);
    ::UpdateWindow(wnd.GetHWND());
    EXPECT_EQ(boxes[0]->paints, before[0] + 1);
    EXPECT_EQ(boxes[1]->paints, before[1]);
    EXPECT_EQ(boxes[2]->paints, before[2] + 1);

    // Nothing changed, nothing painted.
    boxes[2]->SetBkColor(0xFF123456);
    ::UpdateWindow(wnd.GetHWND());
    EXPECT_EQ(boxes[2]->paints, before[2] + 1);
    TestWindow::Pixels px = wnd.Snapshot();
    EXPECT_EQ(px.At(20, 20), 0x654321u);
    EXPECT_EQ(px.At(140, 20), 0x123456u);
}

TEST(Paint, TextInTheWindowsFonts) {
    auto* root = new CContainerUI;
    root->SetBkColor(0xFFFFFFFF);
    auto* label = new CLabelUI;
    label->SetMyPos({0, 0, 200, 30});
    label->SetText(L"搜索表情 WWWW");
    label->SetTextColor(0xFF000000);
    label->SetFont(1);
    root->Add(label);
    auto* link = new CLabelUI;
    link->SetMyPos({0, 30, 200, 60});
    link->SetShowHtml(true);
    link->SetText(L"{u}{a}{c #FF0000}意见反馈{/c}{/a}{/u}");
    root->Add(link);
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 200, 60));
    wnd.pm.AddFont(1, L"黑体", 14, false, false, false);
    ::UpdateWindow(wnd.GetHWND());

    // Some dark pixels in the first line, some red ones (and no black) in the second.
    int dark = 0, red = 0, black = 0;
    TestWindow::Pixels pixels = wnd.Snapshot();
    for (int y = 0; y < 60; y++) {
        for (int x = 0; x < 200; x += 1) {
            DWORD p = pixels.At(x, y);
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (y < 30 && r < 0x60 && g < 0x60 && b < 0x60) dark++;
            if (y >= 30 && r > 0xC0 && g < 0x60 && b < 0x60) red++;
            if (y >= 30 && r < 0x40 && g < 0x40 && b < 0x40) black++;
        }
        if (y == 29) EXPECT_GT(dark, 20);
    }
    EXPECT_GT(red, 10);
    EXPECT_EQ(black, 0);
    EXPECT_STREQ(wnd.pm.GetFontInfo(1)->sFontName, L"黑体");
    EXPECT_EQ(wnd.pm.GetFontInfo(1)->iSize, 14);
}

}  // namespace
