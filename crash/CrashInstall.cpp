// Installs the crash handler before every other global object of the executable and
// routes g++ pure virtual calls to it. zindle_crash adds this object to every executable
// that links it, so it is part of the program without any reference to it.
#include "crash/CrashHandler.h"

#include <stdlib.h>

namespace {

struct CrashHandlerInstaller {
    CrashHandlerInstaller() { InstallCrashHandler(); }
    // Destroyed last, since it was constructed first.
    ~CrashHandlerInstaller() { RestorePreviousCrashFilter(); }
};

// 101 is the first priority open to programs: only the runtime's own objects come earlier.
CrashHandlerInstaller gCrashHandlerInstaller __attribute__((init_priority(101)));

[[noreturn]] void ReportPureCall() {
    OnRuntimeError(nullptr, nullptr, nullptr, 0, 0);
    abort();  // as the C++ runtime does after a pure virtual call
}

}  // namespace

// g++ calls these for a pure or deleted virtual function; without them it would print a
// line and terminate, and the maker would never hear of it.
extern "C" [[noreturn]] void __cxa_pure_virtual() {
    ReportPureCall();
}

extern "C" [[noreturn]] void __cxa_deleted_virtual() {
    ReportPureCall();
}
