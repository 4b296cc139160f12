// Test builds only: lets a test ask the running main window what it shows. A test
// posts nothing; it sends the registered message "ZindleProbeDump" with a global atom
// that names a file, and the window writes its state and control tree there.
// "ZindleProbeBench" the same way runs the page-switch benchmark and writes its figures.
#pragma once
#include <windows.h>

class CMainUI;

struct MainWindowProbe {
    // True when the message was the probe's; result is then the answer (1 written).
    static bool HandleMessage(CMainUI& window, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& result);
    // Called after the paint manager painted; the first call's time is kept.
    static void Painted();
    // Start-up milestones: the performance counter when each was reached (first time).
    static void Mark(const char* name);
};

// Start-up milestones in the test build only; nothing in the program itself.
#ifdef ZINDLE_TEST_PROBE
#define STARTUP_MARK(name) MainWindowProbe::Mark(name)
#else
#define STARTUP_MARK(name) ((void)0)
#endif
