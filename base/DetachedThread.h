// Background work on threads that nobody joins: the workers run until the process ends
// and hand their results to the UI thread only by posting window messages.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "base/WinHandle.h"

namespace detached_thread {
inline DWORD WINAPI Run(void* param) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(param));
    (*body)();
    return 0;
}
}  // namespace detached_thread

// Runs body on a new thread and lets go of its handle. False, with body dropped, when the
// system could not make a thread; callers turn that into the failure they would have
// reported (a missing list, no advertisement), never into an exception.
inline bool StartDetachedThread(std::function<void()> body) {
    auto* task = new std::function<void()>(std::move(body));
    KernelHandle thread(CreateThread(nullptr, 0, detached_thread::Run, task, 0, nullptr));
    if (!thread) {
        delete task;
        return false;
    }
    return true;
}
