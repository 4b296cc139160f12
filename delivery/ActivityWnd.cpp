// The foreground-window tracker: one pass on the creating thread, then a detached thread
// that looks at the window in front every 100 ms for as long as the process runs.
#include "delivery/ActivityWnd.h"
#include "base/WinHandle.h"
#include <cwchar>
#include <mutex>

namespace {
std::mutex gTrackerInstanceLock;
std::atomic<CActivityWnd*> gTracker{nullptr};

// The program's own top-level windows (main window, advertisement window): never a target.
const wchar_t* const kOwnWindowClasses[] = {L"ZindleFrame", L"ZindleAdvFrame"};
constexpr DWORD kTrackingIntervalMs = 100;

// Whole-string, case-sensitive, as GetClassNameW reports the registered name.
bool IsOwnWindowClass(const wchar_t* className) {
    for (const wchar_t* own : kOwnWindowClasses) {
        if (std::wcscmp(className, own) == 0) return true;
    }
    return false;
}
}  // namespace

CActivityWnd* CActivityWnd::GetInstance() {
    CActivityWnd* tracker = gTracker.load();
    if (tracker) return tracker;
    std::lock_guard<std::mutex> lock(gTrackerInstanceLock);
    tracker = gTracker.load();
    if (!tracker) {
        tracker = new CActivityWnd();
        gTracker.store(tracker);
    }
    return tracker;
}

CActivityWnd::CActivityWnd() {
    // One pass right here, so the target is the window that was in front at start-up.
    stopRequested = true;
    TrackForeground();
    stopRequested = false;
    // The thread is never joined; it reaches the tracker, which is never destroyed.
    KernelHandle thread(CreateThread(nullptr, 0, TrackingThread, this, 0, nullptr));
}

DWORD WINAPI CActivityWnd::TrackingThread(void* self) {
    static_cast<CActivityWnd*>(self)->TrackForeground();
    return 0;
}

void CActivityWnd::TrackForeground() {
    for (;;) {
        HWND front = GetForegroundWindow();
        wchar_t className[260] = {};
        // A window that closed between the two calls has no class name: not a target.
        if (front && GetClassNameW(front, className, 260) > 0 && !IsOwnWindowClass(className)) {
            target = front;
        }
        if (stopRequested) return;
        Sleep(kTrackingIntervalMs);
    }
}
