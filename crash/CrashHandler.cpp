// Installation, the unhandled-exception filter and the handling of one crash. All state
// is constant-initialised: it must be usable before (and after) every global constructor.
#include "crash/CrashHandler.h"

#include "crash/ComponentsFolder.h"
#include "crash/CrashPaths.h"
#include "crash/CrashRecord.h"
#include "crash/FaultGuard.h"
#include "crash/Minidump.h"
#include "crash/Reporter.h"

#include "base/WinHandle.h"

#include <stdlib.h>
#include <wchar.h>
#include <atomic>

namespace {

LPTOP_LEVEL_EXCEPTION_FILTER gPreviousFilter = nullptr;
std::atomic<int> gCrashCount{0};
// Set while one crash is handled: a crash on any other thread is passed on meanwhile.
std::atomic<bool> gBusy{false};
// Open only while a crash is handled; null when closed.
HANDLE gReportFile = nullptr;
HANDLE gDumpFile = nullptr;

void CloseCrashFile(HANDLE& file) {
    if (file) CloseHandle(file);
    file = nullptr;
}

HANDLE OpenCrashFile(const wchar_t* path, DWORD disposition) {
    if (!path[0]) return nullptr;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, disposition,
                              FILE_FLAG_WRITE_THROUGH, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

// "CheckCrash" set by the input method asks the program to confirm that its crash
// handling is in place; any failure leaves the question unanswered.
void ConfirmCrashCheck() {
    RegKeyHandle owner;
    if (RegOpenKeyW(HKEY_CURRENT_USER, L"SoftWare\\OrvanInput", owner.Receive()) != ERROR_SUCCESS) return;
    HKEY key = owner.Get();
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key, L"CheckCrash", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        size == sizeof(value) && value != 0) {
        DWORD confirmed = 1;
        RegSetValueExW(key, L"CheckCrashRes", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&confirmed),
                       sizeof(confirmed));
    }
}

// The program's folder becomes the components folder, its file name the program name.
void LearnProgramPaths() {
    CrashPaths& paths = GetCrashPaths();
    wchar_t folder[kComponentsFolderUnits] = {};
    GetModuleFileNameW(nullptr, folder, kComponentsFolderUnits - 1);
    if (wchar_t* slash = wcsrchr(folder, L'\\')) {
        wcscpy(paths.programName, slash + 1);
        *slash = L'\0';
    }
    SetComponentsFolder(folder);

    wchar_t* exe = paths.executable;
    DWORD length = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    if (length >= MAX_PATH) length = MAX_PATH - 1;  // cut, and closed, on older systems
    exe[length] = L'\0';
    ReplaceExtension(exe, L"rpt", paths.report);
    ReplaceExtension(exe, L"dmp", paths.dump);
}

struct CrashJob {
    EXCEPTION_POINTERS* pointers;
    int crashType;
};

// Everything that may fault, run under the fault guard.
void HandleCrashSteps(void* arg) {
    const CrashJob& job = *static_cast<CrashJob*>(arg);
    const CrashPaths& paths = GetCrashPaths();
    gReportFile = OpenCrashFile(paths.report, OPEN_ALWAYS);
    if (gReportFile) SetFilePointer(gReportFile, 0, nullptr, FILE_END);
    gDumpFile = OpenCrashFile(paths.dump, CREATE_ALWAYS);

    if (gReportFile) {
        WriteCrashRecord(gReportFile, job.pointers, job.crashType);
        CloseCrashFile(gReportFile);
    }
    if (gDumpFile) {
        WriteMinidump(gDumpFile, job.pointers);
        CloseCrashFile(gDumpFile);
    }
    StartCrashReporter();
}

struct PreviousFilterCall {
    LPTOP_LEVEL_EXCEPTION_FILTER filter;
    EXCEPTION_POINTERS* pointers;
    LONG result;
};

void CallPreviousFilter(void* arg) {
    auto& call = *static_cast<PreviousFilterCall*>(arg);
    call.result = call.filter(call.pointers);
}

// Takes one of the five handled crashes; false once they are used up.
bool TakeCrashSlot() {
    int seen = gCrashCount.load();
    while (seen < kMaxHandledCrashes) {
        if (gCrashCount.compare_exchange_weak(seen, seen + 1)) return true;
    }
    return false;
}

}  // namespace

void InstallCrashHandler() {
    ConfirmCrashCheck();
    gPreviousFilter = SetUnhandledExceptionFilter(CrashFilter);
    _set_invalid_parameter_handler(OnRuntimeError);
    // The pure-call handler takes no arguments; OnRuntimeError ignores its own, and both
    // conventions leave the caller to clean up, so one routine serves both.
    _set_purecall_handler(reinterpret_cast<_purecall_handler>(reinterpret_cast<void (*)()>(&OnRuntimeError)));
    LearnProgramPaths();
}

void RestorePreviousCrashFilter() {
    SetUnhandledExceptionFilter(gPreviousFilter);
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers) {
    if (TakeCrashSlot()) HandleCrash(pointers, kCrashTypeUnhandled);
    LPTOP_LEVEL_EXCEPTION_FILTER previous = gPreviousFilter;
    if (!previous || previous == CrashFilter) return EXCEPTION_CONTINUE_SEARCH;
    PreviousFilterCall call = {previous, pointers, EXCEPTION_CONTINUE_SEARCH};
    if (!RunGuarded(CallPreviousFilter, &call)) return EXCEPTION_CONTINUE_SEARCH;
    return call.result;
}

int HandleCrash(EXCEPTION_POINTERS* pointers, int crashType) {
    bool idle = false;
    if (!gBusy.compare_exchange_strong(idle, true)) return 0;
    CrashJob job = {pointers, crashType};
    RunGuarded(HandleCrashSteps, &job);
    // After a fault the files may still be open; closed, they are free for the next crash.
    CloseCrashFile(gReportFile);
    CloseCrashFile(gDumpFile);
    gBusy.store(false);
    return 0;
}
