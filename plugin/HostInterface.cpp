// Calls into the host's interface object: its first member points to a table of at
// least 51 functions, each taking the object itself as the first argument.
#include "HostInterface.h"

namespace {

constexpr int kInstallPathSlot = 8;
constexpr int kUnloadSlot = 50;
constexpr int kPathUnits = 260;

using InstallPathFn = bool (*)(void* self, wchar_t* buffer, int units);
using UnloadFn = void (*)(void* self, const wchar_t* bundleId);

void* HostSlot(void* host, int index) {
    void** table = *static_cast<void***>(host);
    return table[index];
}

}  // namespace

std::wstring HostInstallPath(void* host) {
    if (!host) return {};
    wchar_t buffer[kPathUnits] = {};
    auto fn = reinterpret_cast<InstallPathFn>(HostSlot(host, kInstallPathSlot));
    if (!fn(host, buffer, kPathUnits)) return {};
    // The host owns the buffer's contents; never trust it to have ended the string.
    buffer[kPathUnits - 1] = L'\0';
    return buffer;
}

void NotifyHostUnload(void* host, const wchar_t* bundleId) {
    if (!host) return;
    auto fn = reinterpret_cast<UnloadFn>(HostSlot(host, kUnloadSlot));
    fn(host, bundleId);
}
