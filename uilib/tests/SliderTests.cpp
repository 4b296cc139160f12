// Slider arithmetic: values, clamping, thumb geometry, the user's changes and the
// button-down hand-over to a delegate.
#include "uilib/tests/TestWindow.h"
#include <gtest/gtest.h>

namespace {

// The grid scroll bar's track: a vertical slider at (0, 10, 11, 395) in a bar at
// (680, 30), so its top edge lies at y = 40 in the window.
struct Track {
    CContainerUI* root = new CContainerUI;
    CContainerUI* bar = new CContainerUI;
    CSliderUI* slider = new CSliderUI;
    EventLog log;
    TestWindow wnd;

    Track() {
        bar->SetMyPos({680, 30, 691, 440});
        slider->SetName(L"Track");
        slider->SetMyPos({0, 10, 11, 395});
        slider->SetHorizontal(false);
        slider->SetThumbSize({10, 40});
        slider->SetMaxValue(10);
        slider->SetValue(10);
        bar->Add(slider);
        root->Add(bar);
        log.Attach(slider);
        wnd.Open(root, 700, 470);
    }
    int ValueChanges() const { return static_cast<int>(std::count(log.entries.begin(), log.entries.end(), L"valuechanged")); }
};

TEST(Slider, ThumbTopIsTrackTopPlusMaximumMinusValue) {
    Track t;
    const int pages[] = {2, 5, 21};
    for (int lastPage : pages) {
        int thumb = 385 / (lastPage + 1);
        int range = 385 - thumb;
        t.slider->SetMaxValue(range);
        t.slider->SetMinValue(0);
        t.slider->SetThumbSize(10, thumb);
        for (int value : {range, range / 2, 0, 1}) {
            t.slider->SetValue(value);
            RECT r = t.slider->GetThumbRect();
            EXPECT_EQ(r.top, 40 + range - value) << lastPage << " " << value;
            EXPECT_EQ(r.bottom - r.top, thumb);
            EXPECT_EQ(r.left, 680);
        }
    }
    // A horizontal slider runs from the left.
    t.slider->SetHorizontal(true);
    t.slider->SetMaxValue(100);
    t.slider->SetThumbSize(10, 10);
    t.slider->SetValue(0);
    EXPECT_EQ(t.slider->GetThumbRect().left, 680);
    t.slider->SetValue(100);
    EXPECT_EQ(t.slider->GetThumbRect().right, 691);
}

TEST(Slider, ValuesStayInRange) {
    Track t;
    const struct {
        int min, max, set, want;
    } cases[] = {{0, 10, 11, 10}, {0, 10, -1, 0}, {0, 0, 5, 0}, {5, 10, 3, 5}, {0, 345, 200, 200}};
    for (const auto& c : cases) {
        t.slider->SetMinValue(c.min);
        t.slider->SetMaxValue(c.max);
        t.slider->SetValue(c.set);
        EXPECT_EQ(t.slider->GetValue(), c.want) << c.min << ".." << c.max << " set " << c.set;
    }
    // Lowering the maximum pulls the value along.
    t.slider->SetMaxValue(100);
    t.slider->SetValue(100);
    t.slider->SetMaxValue(40);
    EXPECT_EQ(t.slider->GetValue(), 40);
    EXPECT_EQ(t.ValueChanges(), 0);  // programmatic changes raise no notification
}

TEST(Slider, TheUserMovesItByStepsWheelAndDrag) {
    Track t;
    t.slider->SetMaxValue(345);
    t.slider->SetValue(345);
    t.slider->SetChangeStep(115);
    t.slider->SetThumbSize(10, 40);  // thumb 40..80

    t.wnd.Wheel(685, 200, -WHEEL_DELTA);
    EXPECT_EQ(t.slider->GetValue(), 230);
    t.wnd.Wheel(685, 200, WHEEL_DELTA);
    EXPECT_EQ(t.slider->GetValue(), 345);
    t.wnd.Wheel(685, 200, WHEEL_DELTA);  // already at the top
    EXPECT_EQ(t.ValueChanges(), 2);

    // A press below the thumb moves one step down.
    t.wnd.MouseMove(685, 300);
    t.wnd.MouseDown(685, 300);
    t.wnd.MouseUp(685, 300);
    EXPECT_EQ(t.slider->GetValue(), 230);

    // Dragging the thumb: it follows the mouse pixel by pixel.
    RECT thumb = t.slider->GetThumbRect();  // top 40 + 345 - 230 = 155
    ASSERT_EQ(thumb.top, 155);
    t.wnd.MouseMove(685, 160);
    t.wnd.MouseDown(685, 160);
    t.wnd.MouseMove(685, 150, MK_LBUTTON);
    EXPECT_EQ(t.slider->GetValue(), 240);
    t.wnd.MouseMove(685, 0, MK_LBUTTON);  // far above: clamped
    EXPECT_EQ(t.slider->GetValue(), 345);
    t.wnd.MouseUp(685, 0);
    t.wnd.MouseMove(685, 300);
    EXPECT_EQ(t.slider->GetValue(), 345);  // released: no more dragging
}

TEST(Slider, ADelegateCanTakeOverTheButtonDown) {
    Track t;
    t.slider->SetMaxValue(345);
    t.slider->SetValue(345);
    t.slider->SetChangeStep(115);
    t.slider->OnEvent.Add([&](void* p) {
        auto* e = static_cast<TEventUI*>(p);
        if (e->Type == UIEVENT_BUTTONDOWN || e->Type == UIEVENT_DBLCLICK) t.slider->SetButtonDownHandled();
        return true;
    });
    t.wnd.MouseMove(685, 300);
    t.wnd.MouseDown(685, 300);
    t.wnd.MouseUp(685, 300);
    t.wnd.MouseDown(685, 60);  // on the thumb: no drag starts either
    t.wnd.MouseMove(685, 200, MK_LBUTTON);
    t.wnd.MouseUp(685, 200);
    EXPECT_EQ(t.slider->GetValue(), 345);
    EXPECT_EQ(t.ValueChanges(), 0);
    EXPECT_FALSE(t.slider->IsButtonDownHandled());
}

}  // namespace
