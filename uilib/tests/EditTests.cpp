// The edit: a native EDIT window while focused, typing (Chinese included), the
// notifications "setfocus", "textchanged", "return" and "ctrl_a", read-only mode.
#include "uilib/tests/TestWindow.h"
#include <gtest/gtest.h>

namespace {

struct EditWindow {
    CContainerUI* root = new CContainerUI;
    CEditUI* edit = new CEditUI;
    CButtonUI* button = new CButtonUI;
    EventLog log;
    TestWindow wnd;
    EditWindow() {
        edit->SetName(L"SearchEdit");
        edit->SetMyPos({28, 1, 300, 31});
        edit->SetText(L"搜索表情");
        edit->SetTextColor(0xFF8E8E8E);
        button->SetName(L"SearchBtn");
        button->SetMyPos({330, 1, 399, 31});
        root->Add(edit);
        root->Add(button);
        log.Attach(edit);
        wnd.Open(root, 400, 40);
    }
    HWND Native() const { return edit->GetNativeWindow(); }
    void Type(const std::wstring& text) {
        for (wchar_t c : text) ::SendMessageW(Native(), WM_CHAR, c, 1);
    }
    int Count(const wchar_t* what) const { return static_cast<int>(std::count(log.entries.begin(), log.entries.end(), what)); }
};

TEST(Edit, FocusBringsANativeWindowOverTheControl) {
    EditWindow w;
    EXPECT_EQ(w.Native(), nullptr);
    w.wnd.Click(100, 15);
    HWND native = w.Native();
    ASSERT_NE(native, nullptr);
    EXPECT_TRUE(::IsWindowVisible(native));
    EXPECT_EQ(::GetFocus(), native);
    EXPECT_EQ(::GetParent(native), w.wnd.GetHWND());
    RECT rc;
    ::GetWindowRect(native, &rc);
    ::MapWindowPoints(nullptr, w.wnd.GetHWND(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_GE(rc.left, 28);
    EXPECT_LE(rc.right, 300);
    EXPECT_EQ(w.Count(L"setfocus"), 1);
    wchar_t text[32] = {};
    ::GetWindowTextW(native, text, 32);
    EXPECT_STREQ(text, L"搜索表情");

    // Focus elsewhere: the window goes, the text stays and is painted again.
    w.wnd.Click(350, 15);
    TestWindow::Pump();
    EXPECT_EQ(w.Native(), nullptr);
    EXPECT_FALSE(::IsWindow(native));
    EXPECT_EQ(w.edit->GetText(), L"搜索表情");
    EXPECT_EQ(w.wnd.pm.GetFocus(), w.button);
}

TEST(Edit, TypingRaisesTextChanged) {
    EditWindow w;
    w.edit->SetFocus();
    ASSERT_NE(w.Native(), nullptr);
    w.edit->SetText(L"");
    EXPECT_EQ(w.Count(L"textchanged"), 1);
    w.Type(L"ab中文");
    EXPECT_EQ(w.edit->GetText(), L"ab中文");
    EXPECT_EQ(w.Count(L"textchanged"), 5);
    // Input-method results arrive as WM_IME_CHAR.
    ::SendMessageW(w.Native(), WM_IME_CHAR, L'表', 1);
    TestWindow::Pump();
    EXPECT_EQ(w.edit->GetText(), L"ab中文表");
    // Setting the same text changes nothing and says nothing.
    w.edit->SetText(L"ab中文表");
    EXPECT_EQ(w.Count(L"textchanged"), 6);
    // Without the focus, SetText still tells.
    w.button->SetFocus();
    w.edit->SetText(L"x");
    EXPECT_EQ(w.Count(L"textchanged"), 7);
}

TEST(Edit, EnterAndCtrlA) {
    EditWindow w;
    w.edit->SetFocus();
    w.Type(L"猫");
    w.log.entries.clear();
    ::SendMessageW(w.Native(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(w.log.entries, (std::vector<std::wstring>{L"3", L"return"}));
    EXPECT_EQ(w.wnd.notifications.back(), L"return:SearchEdit");

    // Ctrl+A: with the control key down.
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    w.log.entries.clear();
    ::SendMessageW(w.Native(), WM_KEYDOWN, 'A', 1);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(w.log.entries, (std::vector<std::wstring>{L"3", L"ctrl_a"}));
    w.edit->SetSelAll();
    DWORD start = 0, end = 0;
    ::SendMessageW(w.Native(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, static_cast<DWORD>(w.edit->GetText().GetLength()));

    // A key handler that moves the focus away on Enter (as the search bar does): the
    // key is dealt with once, and no "return" follows from a window that is gone.
    w.edit->OnEvent.Add([&](void* p) {
        auto* e = static_cast<TEventUI*>(p);
        if (e->Type == UIEVENT_KEYDOWN && e->chKey == VK_RETURN) w.button->SetFocus();
        return true;
    });
    w.log.entries.clear();
    ::SendMessageW(w.Native(), WM_KEYDOWN, VK_RETURN, 1);
    TestWindow::Pump();
    EXPECT_EQ(w.Count(L"return"), 0);
    EXPECT_EQ(w.Native(), nullptr);
    EXPECT_EQ(w.wnd.pm.GetFocus(), w.button);
}

TEST(Edit, ReadOnlyAndHidden) {
    EditWindow w;
    w.edit->SetFocus();
    w.edit->SetReadOnly(true);
    EXPECT_TRUE(::GetWindowLongW(w.Native(), GWL_STYLE) & ES_READONLY);
    w.Type(L"x");
    EXPECT_EQ(w.edit->GetText(), L"搜索表情");
    w.edit->SetReadOnly(false);
    EXPECT_FALSE(::GetWindowLongW(w.Native(), GWL_STYLE) & ES_READONLY);
    w.edit->SetVisible(false);
    TestWindow::Pump();
    EXPECT_EQ(w.Native(), nullptr);
    EXPECT_EQ(w.wnd.pm.GetFocus(), nullptr);
}

}  // namespace
