// The five functions the host finds by name, the bundle information record, and the
// unload notice sent to the host when the DLL leaves the process.
#include <windows.h>
#include <cstdlib>
#include "BundleInterfaces.h"
#include "BundleState.h"
#include "BundleStrings.h"
#include "HostInterface.h"
#include "ZindleCom.h"

namespace {

constexpr int kMinLevelForUnloadNotice = 9;

const BundleInfo kBundleInfo = {
    kBundleId,
    kDisplayName,
    L"Orvan Input",
    kDescription,
    L"1.0.0.1",
    L"http://www.orvan-input.com/components/zindle",
    L"6.5.0.5678",
    36,
    0,
};

BundleState state;

void OnProcessDetach() {
    if (state.shuttingDown || !state.host || state.hostLevel < kMinLevelForUnloadNotice) return;
    NotifyHostUnload(state.host, kBundleId);
}

}  // namespace

BundleState& State() {
    return state;
}

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        state.module = instance;
    } else if (reason == DLL_PROCESS_DETACH) {
        OnProcessDetach();
    }
    return TRUE;
}

bool InitializeBundle(void* host) {
    state.host = host;
    return true;
}

const BundleInfo* GetBundleInfo() {
    return &kBundleInfo;
}

BundleHandler* CreateBundleHandler() {
    return &TheBundleHandler();
}

bool UnInitializeBundle() {
    return true;
}

bool SetCRTExceptionHandler(_invalid_parameter_handler handler) {
    _set_invalid_parameter_handler(handler);
    return true;
}

}  // extern "C"
