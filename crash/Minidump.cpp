// Minidump writing. DbgHelp is loaded only when a crash needs it, so the program starts
// without it and a missing or old copy costs only the dump.
#include "crash/Minidump.h"

#include <dbghelp.h>

namespace {

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                          PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION,
                                          PMINIDUMP_CALLBACK_INFORMATION);

constexpr DWORD kDumpType = MiniDumpWithIndirectlyReferencedMemory | MiniDumpWithProcessThreadData;
static_assert(kDumpType == 0x140, "dump type");

// Takes everything DbgHelp offers.
BOOL CALLBACK IncludeEverything(PVOID, const PMINIDUMP_CALLBACK_INPUT, PMINIDUMP_CALLBACK_OUTPUT) {
    return TRUE;
}

}  // namespace

void WriteMinidump(HANDLE file, EXCEPTION_POINTERS* pointers) {
    HMODULE dbghelp = LoadLibraryW(L"DbgHelp.dll");
    if (!dbghelp) return;
    auto writeDump = reinterpret_cast<MiniDumpWriteDumpFn>(
        reinterpret_cast<void*>(GetProcAddress(dbghelp, "MiniDumpWriteDump")));
    if (!writeDump) return;

    MINIDUMP_EXCEPTION_INFORMATION exception = {};
    exception.ThreadId = GetCurrentThreadId();
    exception.ExceptionPointers = pointers;
    exception.ClientPointers = FALSE;
    MINIDUMP_CALLBACK_INFORMATION callback = {};
    callback.CallbackRoutine = IncludeEverything;
    callback.CallbackParam = nullptr;
    writeDump(GetCurrentProcess(), GetCurrentProcessId(), file, MINIDUMP_TYPE(kDumpType),
              pointers ? &exception : nullptr, nullptr, &callback);
}
