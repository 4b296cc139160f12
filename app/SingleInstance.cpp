// The hand-over from a second start to the running picker.
#include "app/SingleInstance.h"

#include <windows.h>

#include "app/MainUI.h"

bool HandOverToRunningInstance() {
    HWND running = FindWindowW(CMainUI::kClassName, nullptr);
    if (!running) return false;
    // A restore through the window's own system command keeps its look as it was;
    // a window hidden behind others is shown without stealing activation first.
    if (IsIconic(running)) {
        SendMessageW(running, WM_SYSCOMMAND, SC_RESTORE, 0);
    } else {
        ShowWindow(running, SW_SHOWNA);
    }
    SetForegroundWindow(running);
    return true;
}
