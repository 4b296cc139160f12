// Process-wide state of the plug-in. The host calls the bundle from one thread, and
// every object is static, so plain variables serve.
#pragma once
#include <windows.h>

struct BundleState {
    HMODULE module = nullptr;   // this DLL, stored at process attach
    void* host = nullptr;       // the host's interface object, from InitializeBundle
    int hostLevel = 0;          // set by the host through the config interface
    bool shuttingDown = false;  // the host asked the bundle to shut down
};

BundleState& State();
