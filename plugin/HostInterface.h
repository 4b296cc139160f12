// The two calls the plug-in makes into the input-method host's interface object: the
// host is someone else's binary, so its slots are reached through its table by index.
#pragma once
#include <string>

// Asks the host for a path inside its installation (host slot 8); empty on failure.
std::wstring HostInstallPath(void* host);

// Tells the host that this bundle is being unloaded (host slot 50).
void NotifyHostUnload(void* host, const wchar_t* bundleId);
