// CWindowWnd: modal windows disable their owner and return the Close value; windows
// centre themselves; the paint manager sizes the window and keeps its caption band.
#include "uilib/tests/TestWindow.h"
#include <gtest/gtest.h>

namespace {

class ModalWindow : public CWindowWnd {
public:
    HWND owner = nullptr;
    bool ownerEnabledMeanwhile = true;

protected:
    LPCTSTR GetWindowClassName() const override { return L"UiLibTestModal"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        if (uMsg == WM_APP) {
            ownerEnabledMeanwhile = ::IsWindowEnabled(owner) != FALSE;
            Close(7);
            return 0;
        }
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
};

TEST(Window, ShowModalDisablesTheOwnerAndReturnsTheCloseValue) {
    TestWindow owner;
    ASSERT_TRUE(owner.Open(new CContainerUI, 200, 100));
    ModalWindow modal;
    modal.owner = owner.GetHWND();
    ASSERT_TRUE(modal.Create(owner.GetHWND(), L"", WS_POPUP, 0, 0, 0, 50, 50));
    modal.CenterWindow();
    RECT o, m;
    ::GetWindowRect(owner.GetHWND(), &o);
    ::GetWindowRect(modal.GetHWND(), &m);
    EXPECT_EQ((m.left + m.right) / 2, (o.left + o.right) / 2);
    EXPECT_EQ((m.top + m.bottom) / 2, (o.top + o.bottom) / 2);

    modal.PostMessageW(WM_APP);
    UINT ret = modal.ShowModal();
    EXPECT_EQ(ret, 7u);
    EXPECT_FALSE(modal.ownerEnabledMeanwhile);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetHWND()));
    EXPECT_EQ(modal.GetHWND(), nullptr);  // the final message cleared it
}

TEST(Window, InitSizeAndCaption) {
    TestWindow wnd;
    ASSERT_TRUE(wnd.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10));
    wnd.pm.SetInitSize(700, 470);  // no layout yet: the window takes the size
    RECT rc;
    ::GetClientRect(wnd.GetHWND(), &rc);
    EXPECT_EQ(rc.right, 700);
    EXPECT_EQ(rc.bottom, 470);
    RECT caption = {0, 0, 0, 33};
    wnd.pm.SetCaptionRect(caption);
    EXPECT_EQ(wnd.pm.GetCaptionRect().bottom, 33);
    EXPECT_FALSE(CPaintManagerUI::GetInstancePath().IsEmpty());
    EXPECT_EQ(CPaintManagerUI::GetInstancePath().Right(1), L"\\");
}

TEST(Strings, FormatAndCompare) {
    CDuiString s;
    s.Format(L"{u}{a}{c #646464}%s{/c}{/a}{/u}", L"意见反馈");
    EXPECT_EQ(s, L"{u}{a}{c #646464}意见反馈{/c}{/a}{/u}");
    std::wstring longText(1000, L'x');
    s.Format(L"%s!", longText.c_str());
    EXPECT_EQ(s.GetLength(), 1001);
    CDuiString a(L"Button");
    EXPECT_TRUE(a == L"Button");
    EXPECT_FALSE(a == L"button");
    EXPECT_EQ(a.CompareNoCase(L"BUTTON"), 0);
    EXPECT_EQ(a.Mid(1, 3), L"utt");
    EXPECT_EQ(a.Find(L"ton"), 3);
    EXPECT_EQ(CDuiString(nullptr).GetLength(), 0);
}

}  // namespace
