// Computes the client identity once at start-up: Devmark's machine id, the input
// method's version from the registry, and the fixed interface version.
#include "net/Identity.h"

#include <shlwapi.h>

#include <cstdio>
#include <vector>

#include "base/DetachedThread.h"
#include "base/WinHandle.h"
#include "net/Pings.h"
#include "net/Text.h"

namespace {

ClientIdentity gIdentity;

constexpr DWORD kFixedRegBytes = 2048;

// The export's C calling convention matters on 32-bit builds only; x64 has one convention.
using GenHwidFn = void(__cdecl*)(unsigned char* out16);

DWORD LittleEndianWord(const unsigned char* p) {
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

// Text of a registry string up to its first NUL, never beyond the value's size.
std::wstring TextWithin(const BYTE* data, DWORD size) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data);
    size_t units = size / sizeof(wchar_t);
    size_t n = 0;
    while (n < units && text[n] != L'\0') n++;
    return std::wstring(text, n);
}

}  // namespace

const ClientIdentity& Identity() {
    return gIdentity;
}

void SetIdentityForTesting(const ClientIdentity& identity) {
    gIdentity = identity;
}

void InitIdentity() {
    gIdentity.h = MachineId();
    gIdentity.v = ImeVersion();
    gIdentity.sdk = kSdkVersion;
    // Without a sender thread the pings stay queued; nothing else depends on them.
    StartDetachedThread(PingSender);
}

std::wstring ReadRegString(const wchar_t* subKey, const wchar_t* name) {
    RegKeyHandle key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return {};

    BYTE fixed[kFixedRegBytes] = {};
    std::vector<BYTE> large;
    BYTE* buffer = fixed;
    DWORD capacity = kFixedRegBytes - 1;
    if (size > capacity) {
        large.assign(size, 0);
        buffer = large.data();
        capacity = size;
    }
    DWORD got = capacity;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, buffer, &got) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return {};
    return TextWithin(buffer, got < capacity ? got : capacity);
}

std::string ImeVersion() {
    return FromWide(ReadRegString(kImeRegistryKey, L"Version"), CP_ACP);
}

std::string FormatMachineId(const unsigned char bytes[16]) {
    char text[33];
    std::snprintf(text, sizeof(text), "%08lX%08lX%08lX%08lX", LittleEndianWord(bytes),
                  LittleEndianWord(bytes + 4), LittleEndianWord(bytes + 4), LittleEndianWord(bytes + 12));
    return text;
}

std::string MachineId() {
    // Devmark lives in the input method's version folder, or in its install folder when
    // no version is set. It is loaded by a full path only: a relative or bare name would
    // be looked for in the current folder and the search path, where anybody may have
    // put a library of that name.
    std::wstring path = ReadRegString(kImeRegistryKey, nullptr);
    if (path.empty() || PathIsRelativeW(path.c_str())) return {};
    std::wstring version = ToWide(ImeVersion(), CP_ACP);
    if (!version.empty()) path += L"\\" + version;
    path += L"\\Devmark.dll";
    LibraryHandle library(LoadLibraryW(path.c_str()));
    if (!library) return {};
    auto genHwid = reinterpret_cast<GenHwidFn>(
        reinterpret_cast<void*>(GetProcAddress(library.Get(), "GenHWID")));
    if (!genHwid) return {};
    unsigned char bytes[16] = {};
    genHwid(bytes);
    return FormatMachineId(bytes);
}
