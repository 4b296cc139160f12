// Which CryptoAPI provider carries AES on this system, and a fresh context on it.
#pragma once
#include <windows.h>

#include "base/WinHandle.h"

// The system's version as GetVersionExA reports it; known is false when that call failed.
struct OsVersion {
    bool known = false;
    DWORD platformId = 0;
    DWORD major = 0;
    DWORD minor = 0;
    DWORD build = 0;
};

enum class AesProvider {
    Prototype,  // "... (Prototype)": Windows 2000 and XP
    Plain,      // every later system
};

// The choice depends only on the version numbers.
AesProvider ChooseAesProvider(const OsVersion& version);
// The provider's name for this process, chosen once.
const char* AesProviderName();
// A fresh verify-only context on the AES provider (keys are imported per operation);
// where that is refused, one in the program's key container, made on first use.
bool AcquireCryptoContext(CryptProvHandle& context);
