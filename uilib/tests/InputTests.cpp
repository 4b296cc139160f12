// Hit testing, the order of raw events and notifications, focus, capture, the wheel
// and how events and notifications travel between delegates, controls and the window.
#include "uilib/tests/TestWindow.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace {

CButtonUI* MakeButton(const wchar_t* name, RECT pos) {
    auto* b = new CButtonUI;
    b->SetName(name);
    b->SetMyPos(pos);
    return b;
}

// The main window's shape: a vertical root with a fixed-height title layout holding
// two buttons, and containers placed by SetMyPos, one covering another.
struct Layout {
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    CHorizontalLayoutUI* title = new CHorizontalLayoutUI;
    CContainerUI* grid = new CContainerUI;
    CContainerUI* dropDown = new CContainerUI;
    CButtonUI* tile = MakeButton(L"Tile", {12, 0, 115, 103});
    CLabelUI* label = new CLabelUI;

    Layout() {
        root->SetName(L"Root");
        title->SetName(L"Title");
        title->SetFixedHeight(33);
        title->SetFixedWidth(300);
        title->Add(MakeButton(L"Close", {269, 1, 299, 29}));
        title->Add(MakeButton(L"Min", {245, 1, 269, 29}));
        grid->SetName(L"Grid");
        grid->SetMyPos({1, 110, 276, 240});
        grid->Add(tile);
        label->SetName(L"Label");
        label->SetMyPos({150, 10, 200, 30});
        grid->Add(label);
        dropDown->SetName(L"DropDown");
        dropDown->SetMyPos({0, 100, 100, 160});
        root->Add(title);
        root->Add(grid);
        root->Add(dropDown);
    }
};

TEST(HitTest, FindsTheTopmostVisibleControl) {
    Layout l;
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(l.root, 300, 250));
    const struct {
        POINT pt;
        const wchar_t* name;
    } cases[] = {
        {{280, 5}, L"Close"},   {{269, 5}, L"Close"},  {{268, 5}, L"Min"},   {{245, 28}, L"Min"},
        {{245, 29}, L"Title"},  {{10, 10}, L"Title"},  {{110, 120}, L"Tile"}, {{50, 150}, L"DropDown"},
        {{50, 170}, L"Tile"},   {{200, 200}, L"Grid"}, {{170, 125}, L"Label"}, {{10, 50}, L"Root"},
        {{299, 249}, L"Root"},
    };
    for (const auto& c : cases) {
        CControlUI* found = wnd.pm.FindControl(c.pt);
        ASSERT_NE(found, nullptr) << c.pt.x << "," << c.pt.y;
        EXPECT_EQ(found->GetName(), c.name) << c.pt.x << "," << c.pt.y;
    }
    EXPECT_EQ(wnd.pm.FindControl(POINT{300, 10}), nullptr);

    // Hidden controls and their children are not found; what lies below them is.
    l.dropDown->SetVisible(false);
    EXPECT_EQ(wnd.pm.FindControl(POINT{50, 150})->GetName(), L"Tile");
    l.grid->SetVisible(false);
    EXPECT_EQ(wnd.pm.FindControl(POINT{50, 150})->GetName(), L"Root");
    l.grid->SetVisible(true);
    EXPECT_TRUE(l.tile->IsVisible());

    // Lookup by name, and positions relative to the parent.
    CControlUI* tile = wnd.pm.FindControl(L"Tile");
    ASSERT_EQ(tile, l.tile);
    RECT want = {13, 110, 116, 213};
    EXPECT_TRUE(::EqualRect(&tile->GetPos(), &want));
    EXPECT_EQ(wnd.pm.FindControl(L"Nothing"), nullptr);
    EXPECT_STREQ(wnd.pm.FindControl(L"Close")->GetClass(), L"Button");
    EXPECT_STREQ(l.label->GetClass(), L"Label");
}

TEST(Events, ArriveInTheOrderOfTheGesture) {
    auto* root = new CContainerUI;
    CButtonUI* button = MakeButton(L"B", {10, 10, 60, 40});
    root->Add(button);
    EventLog log;
    log.Attach(button);
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 100, 100));

    wnd.MouseMove(20, 20);
    wnd.MouseMove(21, 20);
    wnd.MouseDown(21, 20);
    wnd.MouseUp(21, 20);
    wnd.MouseMove(80, 80);
    const std::vector<std::wstring> want = {L"11", L"9", L"9", L"21", L"setfocus", L"13", L"14", L"click", L"10"};
    EXPECT_EQ(log.entries, want);
    // The window got what the delegates let through.
    EXPECT_EQ(wnd.notifications, (std::vector<std::wstring>{L"setfocus:B", L"click:B"}));
}

TEST(Events, ReleaseOutsideTheButtonIsNoClick) {
    auto* root = new CContainerUI;
    CButtonUI* button = MakeButton(L"B", {10, 10, 60, 40});
    root->Add(button);
    EventLog log;
    log.Attach(button);
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 100, 100));

    wnd.MouseMove(20, 20);
    wnd.MouseDown(20, 20);
    EXPECT_TRUE(button->GetButtonState() & UISTATE_PUSHED);
    wnd.MouseMove(80, 80);  // captured: the move still goes to the pressed button
    EXPECT_FALSE(button->GetButtonState() & UISTATE_PUSHED);
    wnd.MouseUp(80, 80);
    const std::vector<std::wstring> want = {L"11", L"9", L"21", L"setfocus", L"13", L"10", L"9", L"14"};
    EXPECT_EQ(log.entries, want);
    EXPECT_EQ(button->GetButtonState(), 0u);

    // A double click is a second press: two clicks in all.
    log.entries.clear();
    wnd.MouseMove(20, 20);
    wnd.MouseDown(20, 20);
    wnd.MouseUp(20, 20);
    wnd.DoubleClick(20, 20);
    wnd.MouseUp(20, 20);
    EXPECT_EQ(std::count(log.entries.begin(), log.entries.end(), L"click"), 2);
    EXPECT_EQ(std::count(log.entries.begin(), log.entries.end(), L"16"), 1);
}

TEST(Events, DelegatesDecideWhatGoesOn) {
    auto* root = new CContainerUI;
    CButtonUI* button = MakeButton(L"B", {10, 10, 60, 40});
    root->Add(button);
    EventLog events, notes;
    button->OnEvent += MakeDelegate(&events, &EventLog::OnEvent);
    button->OnNotify += MakeDelegate(&notes, &EventLog::OnNotify);
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 100, 100));

    // A notify delegate that consumes keeps the notification from the window.
    notes.consume = true;
    wnd.Click(20, 20);
    EXPECT_EQ(notes.entries, (std::vector<std::wstring>{L"setfocus", L"click"}));
    EXPECT_TRUE(wnd.notifications.empty());

    // An event delegate that consumes the button-up keeps the button from clicking.
    notes.consume = false;
    notes.entries.clear();
    events.consume = true;
    wnd.MouseDown(20, 20);
    wnd.MouseUp(20, 20);
    EXPECT_TRUE(notes.entries.empty());

    // Removing a delegate stops it.
    events.consume = false;
    button->OnEvent -= MakeDelegate(&events, &EventLog::OnEvent);
    events.entries.clear();
    wnd.MouseMove(22, 22);
    EXPECT_TRUE(events.entries.empty());
}

TEST(Events, FocusNotificationsFollowTheClickedControl) {
    auto* root = new CContainerUI;
    root->Add(MakeButton(L"A", {0, 0, 40, 40}));
    root->Add(MakeButton(L"B", {50, 0, 90, 40}));
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 100, 100));

    wnd.Click(10, 10);
    wnd.Click(10, 10);  // already focused: no second "setfocus"
    wnd.Click(60, 10);
    wnd.Click(10, 90);  // the root container takes the focus too
    const std::vector<std::wstring> want = {L"setfocus:A", L"click:A",     L"click:A",       L"killfocus:A",
                                            L"setfocus:B", L"click:B",     L"killfocus:B",   L"setfocus:"};
    EXPECT_EQ(wnd.notifications, want);
    EXPECT_EQ(wnd.pm.GetFocus(), root);

    // Hiding the focused control takes the focus away.
    CControlUI* b = wnd.pm.FindControl(L"B");
    b->SetFocus();
    EXPECT_TRUE(b->IsFocused());
    b->SetVisible(false);
    EXPECT_EQ(wnd.pm.GetFocus(), nullptr);
}

// A container that records the events bubbling up to its own handling.
class BubbleCounter : public CContainerUI {
public:
    std::vector<int> seen;
    void DoEvent(TEventUI& event) override {
        seen.push_back(event.Type);
        CContainerUI::DoEvent(event);
    }
};

TEST(Events, WheelNotchesGoToTheControlUnderTheMouse) {
    auto* root = new BubbleCounter;
    auto* inner = new CControlUI;
    inner->SetName(L"Inner");
    inner->SetMyPos({0, 0, 50, 50});
    root->Add(inner);
    EventLog rootLog, innerLog;
    root->OnEvent += MakeDelegate(&rootLog, &EventLog::OnEvent);
    std::vector<WPARAM> wheel;
    inner->OnEvent.Add([&](void* p) {
        auto* e = static_cast<TEventUI*>(p);
        if (e->Type == UIEVENT_SCROLLWHEEL) wheel.push_back(LOWORD(e->wParam));
        return true;
    });
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 100, 100));

    wnd.Wheel(10, 10, -WHEEL_DELTA);      // down
    wnd.Wheel(10, 10, WHEEL_DELTA);       // up
    wnd.Wheel(10, 10, -2 * WHEEL_DELTA);  // two notches at once
    wnd.Wheel(10, 10, -WHEEL_DELTA / 2);  // half a notch: nothing yet
    wnd.Wheel(10, 10, -WHEEL_DELTA / 2);  // the other half
    EXPECT_EQ(wheel, (std::vector<WPARAM>{SB_LINEDOWN, SB_LINEUP, SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN}));
    // Unused events go on to the parent's own handling, never to the parent's delegates.
    EXPECT_EQ(std::count(root->seen.begin(), root->seen.end(), UIEVENT_SCROLLWHEEL), 5);
    EXPECT_TRUE(rootLog.entries.empty());
}

TEST(Events, LeavingTheWindowEndsTheHover) {
    auto* root = new CContainerUI;
    CButtonUI* button = MakeButton(L"B", {0, 0, 50, 50});
    root->Add(button);
    EventLog log;
    log.Attach(button);
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 100, 100));
    wnd.MouseMove(10, 10);
    EXPECT_TRUE(button->GetButtonState() & UISTATE_HOT);
    wnd.MouseLeaveWindow();
    EXPECT_EQ(log.entries, (std::vector<std::wstring>{L"11", L"9", L"10"}));
    EXPECT_FALSE(button->GetButtonState() & UISTATE_HOT);
    EXPECT_EQ(wnd.pm.GetHover(), nullptr);

    // A control deleted while hovered is forgotten, not called.
    wnd.MouseMove(10, 10);
    root->Remove(button);
    wnd.MouseMove(60, 60);
    EXPECT_EQ(wnd.pm.GetHover(), root);
}

// Pre-message filters see messages before the window does and may stop them.
struct KeyFilter : IMessageFilterUI {
    int seen = 0;
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled) override {
        if (uMsg == WM_KEYDOWN && wParam == VK_ESCAPE) {
            seen++;
            bHandled = true;
        }
        return 0;
    }
};

TEST(Events, PreMessageFiltersRunFromTheMessageLoop) {
    auto* root = new CContainerUI;
    TestWindow wnd;
    ASSERT_TRUE(wnd.Open(root, 100, 100));
    root->SetFocus();
    EventLog log;
    root->OnEvent += MakeDelegate(&log, &EventLog::OnEvent);
    KeyFilter filter;
    wnd.pm.AddPreMessageFilter(&filter);
    wnd.PostMessageW(WM_KEYDOWN, VK_ESCAPE, 0);
    wnd.PostMessageW(WM_KEYDOWN, 'A', 0);
    TestWindow::Pump();
    auto keyDowns = [&] { return std::count(log.entries.begin(), log.entries.end(), L"3"); };
    EXPECT_EQ(filter.seen, 1);
    EXPECT_EQ(keyDowns(), 1);
    wnd.pm.RemovePreMessageFilter(&filter);
    wnd.PostMessageW(WM_KEYDOWN, VK_ESCAPE, 0);
    TestWindow::Pump();
    EXPECT_EQ(filter.seen, 1);
    EXPECT_EQ(keyDowns(), 2);
}

}  // namespace
