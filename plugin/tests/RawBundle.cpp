// Loads a copy of the plug-in and resolves what the host uses by name and by index.
#include "RawBundle.h"

bool RawBundle::Load(const wchar_t* path) {
    module = LoadLibraryW(path);
    if (!module) return false;
    initialize = reinterpret_cast<InitializeBundleFn>(GetProcAddress(module, "InitializeBundle"));
    info = reinterpret_cast<GetBundleInfoFn>(GetProcAddress(module, "GetBundleInfo"));
    createHandler = reinterpret_cast<CreateBundleHandlerFn>(GetProcAddress(module, "CreateBundleHandler"));
    uninitialize = reinterpret_cast<UnInitializeBundleFn>(GetProcAddress(module, "UnInitializeBundle"));
    setCrtHandler = reinterpret_cast<SetCRTExceptionHandlerFn>(GetProcAddress(module, "SetCRTExceptionHandler"));
    return initialize && info && createHandler && uninitialize && setCrtHandler;
}

void RawBundle::Unload() {
    if (module) FreeLibrary(module);
    module = nullptr;
}

void* RawBundle::Interface(uint32_t id) {
    void* handler = createHandler();
    void* out = nullptr;
    if (!SlotOf<QuerySlot>(handler, 2)(handler, 0, id, &out)) return nullptr;
    return out;
}
