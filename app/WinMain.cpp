// The program's entry point: hand over to a running picker, or prepare the process
// (components folder, identity, start-up ping, foreground tracker, UI library) and run
// the main window's message loop until it ends.
#include <windows.h>

#include "app/ComponentsFolder.h"
#include "app/MainUI.h"
#include "app/SingleInstance.h"
#include "app/TestProbe.h"
#include "crash/ComponentsFolder.h"
#include "delivery/ActivityWnd.h"
#include "net/Identity.h"
#include "net/Pings.h"

namespace {

constexpr UINT kIconResource = 101;
// On the way out the last pings (the dwell time) get this long to reach the server.
constexpr DWORD kPingDrainMs = 2000;

// Everything the main window relies on, in this order: the identity before the first
// ping is built, the foreground window recorded before the picker takes the front, the
// UI library last.
void PrepareProcess(HINSTANCE instance) {
    // Without a "\Components" folder the crash handler keeps the program's own folder.
    std::wstring components = LookUpComponentsFolder();
    if (!components.empty()) SetComponentsFolder(components.c_str());
    InitIdentity();  // also starts the statistics sender
    STARTUP_MARK("identity");
    PingStartup();
    CActivityWnd::GetInstance();
    STARTUP_MARK("tracker");
    CPaintManagerUI::SetInstance(instance);
    CPaintManagerUI::SetResourcePath(CPaintManagerUI::GetInstancePath());
    STARTUP_MARK("ui-library");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    STARTUP_MARK("main");
    if (HandOverToRunningInstance()) return 1;
    CPaintManagerUI::WarmUp({CMainUI::kSongFace, CMainUI::kHeiFace});
    PrepareProcess(instance);

    CMainUI* window = CMainUI::GetInstance();
    if (!window) return 0;
    STARTUP_MARK("layout");
    // The size comes from the window's initial size; the style keeps it a borderless,
    // always-on-top popup that still has a taskbar button and can be minimised.
    HWND hwnd = window->Create(nullptr, CMainUI::kTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                               WS_SYSMENU | WS_MINIMIZEBOX, WS_EX_APPWINDOW | WS_EX_TOPMOST,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
    // No window, nothing to run: a message loop now would be an invisible process that
    // never ends.
    if (!hwnd) return 0;
    STARTUP_MARK("created");
    window->SetIcon(kIconResource);
    window->CenterWindow();
    window->ShowWindow(true, true);
    STARTUP_MARK("shown");
    CPaintManagerUI::MessageLoop();
    // The window goes at once; the pings queued at the close get a moment to leave.
    if (IsWindow(hwnd)) ::ShowWindow(hwnd, SW_HIDE);
    WaitForPingsSent(kPingDrainMs);
    return 0;
}
