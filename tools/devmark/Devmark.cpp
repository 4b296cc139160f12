// Devmark.dll: the machine-identity library the program loads from the input method's
// version folder. GenHWID fills 16 bytes that stay the same on one machine and differ
// between machines: the MD5 of the machine GUID Windows keeps under Cryptography.
#include <windows.h>
#include <wincrypt.h>

#include <cstring>

namespace {

// The machine GUID lives in the native registry view; a 32-bit caller must ask for it.
bool ReadMachineGuid(wchar_t* guid, DWORD bytes) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = bytes - sizeof(wchar_t);
    LONG rc = RegQueryValueExW(key, L"MachineGuid", nullptr, &type, reinterpret_cast<BYTE*>(guid), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ && size > sizeof(wchar_t);
}

// Without a machine GUID: the computer name and the system volume's serial number.
void FallbackMachineText(wchar_t* text, DWORD units) {
    DWORD nameUnits = units - 16;
    if (!GetComputerNameW(text, &nameUnits)) nameUnits = 0;
    text[nameUnits] = L'\0';
    DWORD serial = 0;
    GetVolumeInformationW(L"C:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    wsprintfW(text + nameUnits, L"|%08lX", serial);
}

bool Md5(const void* data, DWORD size, unsigned char out[16]) {
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) return false;
    HCRYPTHASH hash = 0;
    DWORD length = 16;
    bool ok = CryptCreateHash(provider, CALG_MD5, 0, 0, &hash) &&
              CryptHashData(hash, static_cast<const BYTE*>(data), size, 0) &&
              CryptGetHashParam(hash, HP_HASHVAL, out, &length, 0) && length == 16;
    if (hash) CryptDestroyHash(hash);
    CryptReleaseContext(provider, 0);
    return ok;
}

}  // namespace

extern "C" __declspec(dllexport) void __cdecl GenHWID(unsigned char* out16) {
    if (!out16) return;
    wchar_t text[256] = {};
    if (!ReadMachineGuid(text, sizeof(text))) FallbackMachineText(text, 256);
    std::memset(out16, 0, 16);
    if (!Md5(text, static_cast<DWORD>(wcslen(text) * sizeof(wchar_t)), out16)) {
        // No CryptoAPI: fold the text into the 16 bytes instead (FNV-1a over four lanes).
        DWORD lanes[4] = {2166136261u, 2166136261u ^ 1, 2166136261u ^ 2, 2166136261u ^ 3};
        for (size_t i = 0; text[i]; i++)
            for (DWORD& lane : lanes) lane = (lane ^ text[i]) * 16777619u;
        std::memcpy(out16, lanes, 16);
    }
}
