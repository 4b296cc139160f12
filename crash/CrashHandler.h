// The program's crash handler: on an unhandled structured exception or a C-runtime error
// it appends a record to "<exe>.rpt", writes the minidump "<exe>.dmp" next to the
// executable and starts the crash reporter "bugvane.exe" from the components folder.
//
// How the program installs it: link the static library `zindle_crash`; nothing else.
//     target_link_libraries(Zindle PRIVATE zindle_crash)
// Its interface adds the object of crash/CrashInstall.cpp to the executable itself (an
// unreferenced archive member would be dropped by the linker). That object holds a global
// with init_priority(101), the first constructor GCC runs for the program, which calls
// InstallCrashHandler before every other global object and puts the previous filter back
// when it is destroyed, last, at exit. It also defines __cxa_pure_virtual, so that a g++
// pure virtual call reaches OnRuntimeError. The entry point needs no call.
#pragma once
#include <windows.h>
#include <stdint.h>

// Crash types written into the record.
constexpr int kCrashTypeUnhandled = 0;
constexpr int kCrashTypeRuntimeError = 3;

// Unhandled exceptions that get a report; later ones are only passed on.
constexpr int kMaxHandledCrashes = 5;

// Code of the exception record built for a C-runtime error.
constexpr DWORD kRuntimeErrorCode = 0xC0000417;

// Confirms the crash check in the registry, installs CrashFilter and the C-runtime
// handlers, fills the components folder and derives the report and dump paths.
// Calling it again makes the filter installed at that moment the previous filter.
void InstallCrashHandler();

// Puts back the filter that InstallCrashHandler replaced (at normal exit).
void RestorePreviousCrashFilter();

// The unhandled-exception filter: handles the first five exceptions, then passes each
// one on to the previous filter (or to the system when there is none).
LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pointers);

// The C runtime's invalid-parameter handler, and (with its arguments ignored) its
// pure-virtual-call handler: reports code 0xC0000417 with type 3 at the caller's address,
// not counted against the limit, and returns to the runtime.
void __cdecl OnRuntimeError(const wchar_t* expression, const wchar_t* function,
                            const wchar_t* file, unsigned int line, uintptr_t reserved);

// Writes the record and the dump and starts the reporter. Returns 0 at once while another
// crash is being handled; a fault inside ends it quietly, files closed, flag cleared.
int HandleCrash(EXCEPTION_POINTERS* pointers, int crashType);
