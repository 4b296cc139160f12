// Writes the crash record item by item: the time, the program, memory figures, the
// exception, where it happened, its parameters and the registers.
#include "crash/CrashRecord.h"

#include "crash/CrashPaths.h"

#include <psapi.h>
#include <stdarg.h>
#include <wchar.h>

namespace {

// wvsprintfW never writes more than 1024 units; one more for the terminator.
constexpr int kFormatUnits = 1024 + 1;

void WriteUnits(HANDLE file, const wchar_t* text, size_t units) {
    DWORD written = 0;
    if (units > 0) WriteFile(file, text, DWORD(units * sizeof(wchar_t)), &written, nullptr);
}

// Strings of any length (paths, message texts) go out whole, never through the
// fixed formatting buffer.
void WriteText(HANDLE file, const wchar_t* text) {
    WriteUnits(file, text, wcslen(text));
}

// Formats one item. Only numbers go through here, so an item stays far below the
// buffer's size; should one ever reach it, wvsprintfW cuts it at 1024 units.
void WriteFormat(HANDLE file, const wchar_t* format, ...) {
    wchar_t buffer[kFormatUnits];
    va_list args;
    va_start(args, format);
    int length = wvsprintfW(buffer, format, args);
    va_end(args);
    if (length < 0) return;
    if (length > kFormatUnits - 1) length = kFormatUnits - 1;
    WriteUnits(file, buffer, size_t(length));
}

DWORD KiB(DWORDLONG bytes) {
    return DWORD(bytes >> 10);
}

void WriteSystemMemory(HANDLE file) {
    using GlobalMemoryStatusExFn = BOOL(WINAPI*)(MEMORYSTATUSEX*);
    HMODULE kernel = GetModuleHandleW(L"Kernel32.dll");
    auto query = kernel ? reinterpret_cast<GlobalMemoryStatusExFn>(
                              reinterpret_cast<void*>(GetProcAddress(kernel, "GlobalMemoryStatusEx")))
                        : nullptr;
    if (!query) return;
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    query(&status);  // the line is written even if the call fails, as zeros
    WriteFormat(file,
                L"GlobalMemory: pmiu:0x%08X tkpm:0x%08X fkpm:0x%08X tkpf:0x%08X fkpf:0x%08X "
                L"tkvm:0x%08X fkvm:0x%08X aema:0x%08X \n",
                status.dwMemoryLoad, KiB(status.ullTotalPhys), KiB(status.ullAvailPhys),
                KiB(status.ullTotalPageFile), KiB(status.ullAvailPageFile),
                KiB(status.ullTotalVirtual), KiB(status.ullAvailVirtual),
                KiB(status.ullAvailExtendedVirtual));
}

void WriteProcessMemory(HANDLE file) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return;
    WriteFormat(file,
                L"CurMemory: pfc:0x%08X pwss:0x%08X wss:0x%08X qpppu:0x%08X qppu:0x%08X "
                L"qpnppu:0x%08X qnppu:0x%08X pfu:0x%08X ppfu:0x%08X \n",
                counters.PageFaultCount, KiB(counters.PeakWorkingSetSize),
                KiB(counters.WorkingSetSize), KiB(counters.QuotaPeakPagedPoolUsage),
                KiB(counters.QuotaPagedPoolUsage), KiB(counters.QuotaPeakNonPagedPoolUsage),
                KiB(counters.QuotaNonPagedPoolUsage), KiB(counters.PagefileUsage),
                KiB(counters.PeakPagefileUsage));
}

struct FaultLocation {
    DWORD section = 0;  // 1-based; 0 when no section holds the address
    DWORD offset = 0;   // within that section
    wchar_t module[MAX_PATH] = {};
};

// The section of a mapped image that holds `rva`, checking the headers before use
// since the allocation may hold anything.
void FindSection(const BYTE* base, uintptr_t rva, FaultLocation& location) {
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 || dos->e_lfanew > 4096) return;
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return;
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; i++, section++) {
        DWORD size = section->Misc.VirtualSize > section->SizeOfRawData ? section->Misc.VirtualSize
                                                                         : section->SizeOfRawData;
        if (rva >= section->VirtualAddress && rva <= uintptr_t(section->VirtualAddress) + size) {
            location.section = i + 1u;
            location.offset = DWORD(rva - section->VirtualAddress);
            return;
        }
    }
}

void LocateFault(const void* address, FaultLocation& location) {
    MEMORY_BASIC_INFORMATION memory = {};
    if (VirtualQuery(address, &memory, sizeof(memory)) && memory.AllocationBase) {
        auto base = static_cast<const BYTE*>(memory.AllocationBase);
        if (!GetModuleFileNameW(HMODULE(memory.AllocationBase), location.module, MAX_PATH))
            location.module[0] = L'\0';
        location.module[MAX_PATH - 1] = L'\0';  // older systems leave a cut path open
        if (memory.Type == MEM_IMAGE)
            FindSection(base, uintptr_t(static_cast<const BYTE*>(address) - base), location);
    }
    if (!location.module[0]) {
        // Unnamed code: the record names the program instead.
        const wchar_t* exe = GetCrashPaths().executable;
        size_t length = wcslen(exe);
        if (length >= MAX_PATH) length = MAX_PATH - 1;
        wmemcpy(location.module, exe, length);
        location.module[length] = L'\0';
    }
}

void WriteRegisters(HANDLE file, const CONTEXT& c) {
#if defined(_WIN64)
    // The 64-bit layout: the same items with the registers of that processor.
    WriteText(file, L"Registers:");
    WriteFormat(file, L"RAX:%p RBX:%p RCX:%p RDX:%p RSI:%p RDI:%p ", c.Rax, c.Rbx, c.Rcx, c.Rdx,
                c.Rsi, c.Rdi);
    WriteFormat(file, L"R8:%p R9:%p R10:%p R11:%p R12:%p R13:%p R14:%p R15:%p ", c.R8, c.R9,
                c.R10, c.R11, c.R12, c.R13, c.R14, c.R15);
    WriteFormat(file, L"CS:RIP:%04X:%p ", DWORD(c.SegCs), c.Rip);
    WriteFormat(file, L"SS:RSP:%04X:%p RBP:%p\n", DWORD(c.SegSs), c.Rsp, c.Rbp);
#else
    WriteText(file, L"Registers:");
    WriteFormat(file, L"EAX:%08X EBX:%08X ECX:%08X EDX:%08X ESI:%08X EDI:%08X ", c.Eax, c.Ebx,
                c.Ecx, c.Edx, c.Esi, c.Edi);
    WriteFormat(file, L"CS:EIP:%04X:%08X ", c.SegCs, c.Eip);
    WriteFormat(file, L"SS:ESP:%04X:%08X EBP:%08X\n", c.SegSs, c.Esp, c.Ebp);
#endif
    WriteFormat(file, L"DS:%04X ES:%04X FS:%04X GS:%04X ", DWORD(c.SegDs), DWORD(c.SegEs),
                DWORD(c.SegFs), DWORD(c.SegGs));
    WriteFormat(file, L"Flags:%08X\n", DWORD(c.EFlags));
    WriteText(file, L"\n");
}

struct NamedCode {
    DWORD code;
    const wchar_t* name;
};

const NamedCode kExceptionNames[] = {
    {0x80000001, L"GUARD_PAGE"},
    {0x80000002, L"DATATYPE_MISALIGNMENT"},
    {0x80000003, L"BREAKPOINT"},
    {0x80000004, L"SINGLE_STEP"},
    {0xC0000005, L"ACCESS_VIOLATION"},
    {0xC0000006, L"IN_PAGE_ERROR"},
    {0xC0000008, L"INVALID_HANDLE"},
    {0xC000001D, L"ILLEGAL_INSTRUCTION"},
    {0xC0000025, L"NONCONTINUABLE_EXCEPTION"},
    {0xC0000026, L"INVALID_DISPOSITION"},
    {0xC000008C, L"ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008D, L"FLT_DENORMAL_OPERAND"},
    {0xC000008E, L"FLT_DIVIDE_BY_ZERO"},
    {0xC000008F, L"FLT_INEXACT_RESULT"},
    {0xC0000090, L"FLT_INVALID_OPERATION"},
    {0xC0000091, L"FLT_OVERFLOW"},
    {0xC0000092, L"FLT_STACK_CHECK"},
    {0xC0000093, L"FLT_UNDERFLOW"},
    {0xC0000094, L"INT_DIVIDE_BY_ZERO"},
    {0xC0000095, L"INT_OVERFLOW"},
    {0xC0000096, L"PRIV_INSTRUCTION"},
    {0xC00000FD, L"STACK_OVERFLOW"},
};

}  // namespace

const wchar_t* ExceptionName(DWORD code, wchar_t (&buffer)[kExceptionNameUnits]) {
    for (const NamedCode& entry : kExceptionNames) {
        if (entry.code == code) return entry.name;
    }
    buffer[0] = L'\0';
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  GetModuleHandleW(L"NTDLL.DLL"), code, 0, buffer,
                                  kExceptionNameUnits, nullptr);
    if (length >= DWORD(kExceptionNameUnits)) length = kExceptionNameUnits - 1;
    buffer[length] = L'\0';
    // Message texts end in (and may hold) line breaks; the record keeps one item a line.
    while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                          buffer[length - 1] == L' '))
        buffer[--length] = L'\0';
    for (DWORD i = 0; i < length; i++) {
        if (buffer[i] == L'\r' || buffer[i] == L'\n') buffer[i] = L' ';
    }
    return buffer;
}

void WriteCrashRecord(HANDLE file, const EXCEPTION_POINTERS* pointers, int crashType) {
    static const EXCEPTION_RECORD kNoRecord = {};
    static const CONTEXT kNoContext = {};
    const EXCEPTION_RECORD& record =
        pointers && pointers->ExceptionRecord ? *pointers->ExceptionRecord : kNoRecord;
    const CONTEXT& context = pointers && pointers->ContextRecord ? *pointers->ContextRecord : kNoContext;

    WriteText(file, L"//=====================================================\n");
    SYSTEMTIME now;
    GetLocalTime(&now);
    WriteFormat(file, L"Time: %d.%02d.%02d %02d:%02d:%02d %03d\n", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    WriteText(file, L"Application: ");
    WriteText(file, GetCrashPaths().executable);
    WriteText(file, L"\n");
    WriteSystemMemory(file);
    WriteProcessMemory(file);

    wchar_t nameBuffer[kExceptionNameUnits];
    WriteFormat(file, L"Exception code: %08X ", record.ExceptionCode);
    WriteText(file, ExceptionName(record.ExceptionCode, nameBuffer));
    WriteText(file, L"\n");

    FaultLocation location;
    LocateFault(record.ExceptionAddress, location);
    WriteFormat(file, L"Fault address:  %p %02X:%08X ", record.ExceptionAddress, location.section,
                location.offset);
    WriteText(file, location.module);
    WriteText(file, L"\n");

    WriteText(file, L"Exception Param:");
    DWORD count = record.NumberParameters;
    if (count > EXCEPTION_MAXIMUM_PARAMETERS) count = EXCEPTION_MAXIMUM_PARAMETERS;
    for (DWORD i = 0; i < count; i++)
        WriteFormat(file, L"%p\t", reinterpret_cast<void*>(record.ExceptionInformation[i]));
    WriteText(file, L"\n");

#if defined(_WIN64)
    WriteText(file, L"CPU mode: X64\n");
#else
    WriteText(file, L"CPU mode: X86\n");
#endif
    WriteRegisters(file, context);
    WriteFormat(file, L"type:%d\n", crashType);
}
