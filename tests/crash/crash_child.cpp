// A program that fails on request, with the crash handler installed at load time exactly
// as in Zindle.exe. Unless told "--system", it puts a filter of its own beneath the handler
// (the handler's "previous filter"): that filter prints what reached it and lets raised
// exceptions continue, or ends the process with kExitViaPrevious, so the driver can see
// the hand-on without Wine's debugger taking over.
#include "crash/ComponentsFolder.h"
#include "crash/CrashHandler.h"

#include <windows.h>
#include <winternl.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <string>

// A real g++ pure virtual call: the base constructor calls the pure function, while the
// object is still only a Base, through a pointer the compiler cannot see through. (Outside
// the anonymous namespace, so the compiler cannot know every class deriving from Base.)
struct Base;
void CallPure(Base* volatile object);
struct Base {
    Base() { CallPure(this); }
    virtual ~Base() = default;
    virtual void Pure() = 0;
};
__attribute__((noinline)) void CallPure(Base* volatile object) {
    object->Pure();
}
struct Derived : Base {
    void Pure() override {}
};

namespace {

// Whether the handler was in place when this file's global objects were built.
bool gHandlerInstalledFirst = false;
struct LoadOrderProbe {
    LoadOrderProbe() {
        LPTOP_LEVEL_EXCEPTION_FILTER current = SetUnhandledExceptionFilter(nullptr);
        SetUnhandledExceptionFilter(current);
        gHandlerInstalledFirst = current == CrashFilter && ComponentsFolder()[0] != L'\0';
    }
} gLoadOrderProbe;

constexpr UINT kExitViaPrevious = 0x50;
constexpr DWORD kRaisedCode = 0xC0000096;  // PRIV_INSTRUCTION, raised as continuable

void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fflush(stdout);
}

LONG WINAPI TestPreviousFilter(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    Say("previous %08lX\n", record->ExceptionCode);
    if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION) ExitProcess(kExitViaPrevious);
    return EXCEPTION_CONTINUE_EXECUTION;
}

void Raise(DWORD code, DWORD count = 0, const ULONG_PTR* params = nullptr) {
    RaiseException(code, 0, count, params);
}

void AccessViolation() {
    int* volatile target = reinterpret_cast<int*>(0x10);
    *target = 1;
}

// The way the C runtime reports an invalid parameter: through the handler it was given.
void InvalidParameter() {
    _invalid_parameter_handler handler = _set_invalid_parameter_handler(nullptr);
    _set_invalid_parameter_handler(handler);
    if (!handler) {
        Say("no invalid-parameter handler\n");
        return;
    }
    handler(L"expression", L"function", L"file.cpp", 1, 0);
    Say("runtime handler returned\n");
}

void PureCall() {
    Derived derived;
    Say("pure call returned\n");
}

// A runtime error (not counted), then six unhandled exceptions: five get a record in
// their order, the sixth only passes on. (MinGW's runtime turns the divide and overflow
// codes into SIGFPE after the first one, so these are codes that always reach the filter.)
const DWORD kSequence[] = {0xC0000006, 0xC000001D, 0xC00000FD, 0xC0000025, 0x80000001, kRaisedCode};

void Sequence() {
    InvalidParameter();
    for (DWORD code : kSequence) Raise(code);
}

void ThreeParams() {
    const ULONG_PTR params[] = {0x11, 0x22, 0x33};
    Raise(kRaisedCode, 3, params);
}

// The handler meets a bad exception record: it must give up quietly and stay usable.
void FaultWhileHandling() {
    EXCEPTION_POINTERS bad = {reinterpret_cast<EXCEPTION_RECORD*>(0x20),
                              reinterpret_cast<CONTEXT*>(0x40)};
    LONG result = CrashFilter(&bad);
    Say("filter returned %ld\n", result);
    Raise(kRaisedCode);
}

// A second crash on another thread while the first is being handled. The handler loads
// DbgHelp for the first crash's dump; a DLL-load notification, which runs inside that
// handling, lets the second thread crash and waits until its exception was passed on.
// A handler that blocked the second crash would hang here, and the driver would see it.
struct DllLoadedData {
    ULONG flags;
    const UNICODE_STRING* fullName;
    const UNICODE_STRING* baseName;
    void* base;
    ULONG size;
};
using DllNotification = VOID(CALLBACK*)(ULONG reason, const DllLoadedData* data, void* context);
using RegisterDllNotification = LONG(NTAPI*)(ULONG flags, DllNotification notification, void* context,
                                             void** cookie);

HANDLE gCrashNow = nullptr;
HANDLE gPassedOn = nullptr;

DWORD WINAPI SecondCrash(void*) {
    WaitForSingleObject(gCrashNow, INFINITE);
    Raise(0xC000001D);
    SetEvent(gPassedOn);
    return 0;
}

VOID CALLBACK OnDllLoaded(ULONG reason, const DllLoadedData* data, void*) {
    const ULONG kLoaded = 1;
    if (reason != kLoaded || !data->baseName || !gCrashNow) return;
    std::wstring name(data->baseName->Buffer, data->baseName->Length / sizeof(wchar_t));
    if (_wcsicmp(name.c_str(), L"dbghelp.dll") != 0) return;
    HANDLE crashNow = gCrashNow;
    gCrashNow = nullptr;
    SetEvent(crashNow);
    bool passed = WaitForSingleObject(gPassedOn, 120000) == WAIT_OBJECT_0;
    Say("second crash passed on during handling: %s\n", passed ? "yes" : "no");
}

void CrashDuringCrash() {
    auto registerNotification = reinterpret_cast<RegisterDllNotification>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "LdrRegisterDllNotification")));
    void* cookie = nullptr;
    if (!registerNotification || registerNotification(0, OnDllLoaded, nullptr, &cookie) != 0) {
        Say("no DLL-load notifications\n");
        return;
    }
    gCrashNow = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    gPassedOn = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(CreateThread(nullptr, 0, SecondCrash, nullptr, 0, nullptr));
    Raise(0xC0000006);
}

struct Mode {
    const wchar_t* name;
    void (*run)();
};

const Mode kModes[] = {
    {L"none", [] { Say("installed first: %s\n", gHandlerInstalledFirst ? "yes" : "no"); }},
    {L"av", AccessViolation},
    {L"runtime", InvalidParameter},
    {L"purecall", PureCall},
    {L"sequence", Sequence},
    {L"params", ThreeParams},
    {L"fault-in-handler", FaultWhileHandling},
    {L"crash-during-crash", CrashDuringCrash},
};

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    bool systemHandling = false;
    for (int i = 2; i < argc; i++) {
        if (wcscmp(argv[i], L"--system") == 0) systemHandling = true;
    }
    if (!systemHandling) {
        // Re-installing makes the filter in place (ours) the handler's previous filter.
        SetUnhandledExceptionFilter(TestPreviousFilter);
        InstallCrashHandler();
    }
    for (int i = 2; i + 1 < argc; i++) {
        if (wcscmp(argv[i], L"--components") == 0 && !SetComponentsFolder(argv[i + 1])) return 3;
    }
    for (const Mode& mode : kModes) {
        if (wcscmp(argv[1], mode.name) == 0) {
            mode.run();
            Say("done\n");
            return 0;
        }
    }
    return 2;
}
