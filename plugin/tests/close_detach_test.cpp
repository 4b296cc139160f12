// The close request reaches the program's main window by its class, and the unload
// notice reaches the host only when the host asked for it and did not shut the bundle down.
#include "PluginFixture.h"

namespace {

// A hidden top-level window of a class registered for the test.
class TestWindow {
public:
    TestWindow(const wchar_t* className, const wchar_t* title) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, className, title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    }
    ~TestWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    HWND Get() const { return hwnd_; }

    // Takes the WM_CLOSE posted to this window, if any; reports its parameters.
    bool TakeClose(WPARAM* wParam, LPARAM* lParam) {
        MSG msg;
        if (!PeekMessageW(&msg, hwnd_, WM_CLOSE, WM_CLOSE, PM_REMOVE)) return false;
        *wParam = msg.wParam;
        *lParam = msg.lParam;
        return true;
    }

private:
    HWND hwnd_ = nullptr;
};

}  // namespace

using Close = PluginFixture;

TEST_F(Close, PostsCloseToTheProgramWindow) {
    ASSERT_EQ(FindWindowW(L"ZindleFrame", nullptr), nullptr) << "a program window from elsewhere is open";
    TestWindow decoy(L"ZindleCloseTestDecoy", L"Zindle");  // same title, someone else's class
    TestWindow program(L"ZindleFrame", L"Zindle");
    ASSERT_NE(decoy.Get(), nullptr);
    ASSERT_NE(program.Get(), nullptr);

    EXPECT_TRUE(bundle.Close());
    WPARAM wParam = 1;
    LPARAM lParam = 1;
    ASSERT_TRUE(program.TakeClose(&wParam, &lParam));
    EXPECT_EQ(wParam, 0u);
    EXPECT_EQ(lParam, 0);
    EXPECT_FALSE(decoy.TakeClose(&wParam, &lParam)) << "closed a window by its title";
}

TEST_F(Close, NoProgramWindowStillAnswersTrue) {
    EXPECT_TRUE(bundle.Close());
}

using Detach = PluginFixture;

TEST_F(Detach, UnloadNoticeOnlyAtLevelNineWithoutShutdown) {
    struct Case {
        const char* name;
        bool setLevel;
        int level;
        bool shutdown;
        bool hostGiven;
        bool notice;
    };
    const Case cases[] = {
        {"level never set", false, 0, false, true, false},
        {"level 8", true, 8, false, true, false},
        {"level 9", true, 9, false, true, true},
        {"level 12", true, 12, false, true, true},
        {"negative level", true, -1, false, true, false},
        {"level 9 after shutdown", true, 9, true, true, false},
        {"level 9 without a host", true, 9, false, false, false},
    };
    std::wstring dll = folder / L"plugin\\Zindle.dll";
    bundle.Unload();
    for (const Case& c : cases) {
        FakeHost caseHost;
        RawBundle caseBundle;
        ASSERT_TRUE(caseBundle.Load(dll.c_str())) << c.name;
        EXPECT_TRUE(caseBundle.initialize(c.hostGiven ? caseHost.Object() : nullptr)) << c.name;
        if (c.setLevel) EXPECT_TRUE(caseBundle.SetLevel(c.level)) << c.name;
        if (c.shutdown) EXPECT_TRUE(caseBundle.Shutdown()) << c.name;
        EXPECT_TRUE(caseBundle.uninitialize()) << c.name;
        caseBundle.Unload();
        ASSERT_EQ(GetModuleHandleW(dll.c_str()), nullptr) << "still loaded: " << c.name;

        std::vector<std::wstring> expected;
        if (c.notice) expected.push_back(L"ZindleBundle");
        EXPECT_EQ(caseHost.unloadNotices, expected) << c.name;
        EXPECT_EQ(caseHost.otherSlotsCalled, std::vector<int>()) << c.name;
    }
}
