// The host stand-in's function table, one distinct function per slot.
#include "FakeHost.h"
#include <windows.h>
#include <cwchar>
#include <utility>

namespace {

template <int N>
bool OtherSlot(void* self) {
    static_cast<FakeHost*>(self)->otherSlotsCalled.push_back(N);
    return false;
}

bool InstallPathSlot(void* self, wchar_t* buffer, int units) {
    auto* host = static_cast<FakeHost*>(self);
    host->pathBufferUnits.push_back(units);
    if (!host->answerPath) return false;
    lstrcpynW(buffer, host->installPath.c_str(), units);
    return true;
}

void UnloadSlot(void* self, const wchar_t* bundleId) {
    static_cast<FakeHost*>(self)->unloadNotices.push_back(bundleId ? bundleId : L"(null)");
}

template <int... N>
void* const* MakeTable(std::integer_sequence<int, N...>) {
    static void* const table[] = {reinterpret_cast<void*>(&OtherSlot<N>)...};
    return table;
}

void* const* HostTable() {
    static void* table[kHostSlots];
    static bool filled = false;
    if (!filled) {
        void* const* others = MakeTable(std::make_integer_sequence<int, kHostSlots>());
        for (int i = 0; i < kHostSlots; i++) table[i] = others[i];
        table[8] = reinterpret_cast<void*>(&InstallPathSlot);
        table[50] = reinterpret_cast<void*>(&UnloadSlot);
        filled = true;
    }
    return table;
}

}  // namespace

FakeHost::FakeHost() : table(HostTable()) {}
