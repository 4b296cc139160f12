// The client's identity as every content request and statistics ping names it: the
// machine id h, the input method's version v and the program's own version sdk.
#pragma once
#include <windows.h>
#include <string>

struct ClientIdentity {
    std::string h;    // 32 upper-case hex digits from Devmark.dll, or "" without it
    std::string v;    // the input method's "Version" in the ANSI code page, or ""
    std::string sdk;  // this program's interface version
};

constexpr char kSdkVersion[] = "1.0.0.21";
// The input method's key under HKEY_LOCAL_MACHINE: default value = install folder.
constexpr wchar_t kImeRegistryKey[] = L"SOFTWARE\\OrvanInput";

// Written once by InitIdentity on the main thread before any reader exists; read-only after.
const ClientIdentity& Identity();

// Computes h, v and sdk, then starts the statistics sender thread (detached).
void InitIdentity();
// Only for tests and tools that build URLs without the start-up sequence.
void SetIdentityForTesting(const ClientIdentity& identity);

std::string MachineId();
std::string ImeVersion();
// A string value (REG_SZ, REG_EXPAND_SZ unexpanded, first string of REG_MULTI_SZ) under
// HKEY_LOCAL_MACHINE; name nullptr or "" reads the default value. "" on any failure.
std::wstring ReadRegString(const wchar_t* subKey, const wchar_t* name);
// The 16 bytes from GenHWID as h: four little-endian words w0..w3 written as w0 w1 w1 w3.
// The doubled second word is what the server has always received; keep it.
std::string FormatMachineId(const unsigned char bytes[16]);
