// The foreground-window tracker: remembers the last window in front that is not one of
// the program's own, so that a picture can be pasted where the user was typing.
#pragma once
#include <windows.h>
#include <atomic>

class CActivityWnd {
public:
    // The one tracker of the process. The first call records the window in front on the
    // calling thread and starts the polling thread; the object lives until the process ends.
    static CActivityWnd* GetInstance();

    // The paste target: null until a suitable window has been seen. It may have been
    // closed since; callers check it with IsWindow.
    HWND GetTarget() const { return target.load(); }

    CActivityWnd(const CActivityWnd&) = delete;
    CActivityWnd& operator=(const CActivityWnd&) = delete;

private:
    CActivityWnd();
    ~CActivityWnd() = default;

    void TrackForeground();
    static DWORD WINAPI TrackingThread(void* self);

    std::atomic<HWND> target{nullptr};
    std::atomic<bool> stopRequested{false};
};
