// Picks the AES provider by system version and acquires contexts on it. Windows 2000 and
// XP only have the provider under its "(Prototype)" name.
#include "net/CryptoProvider.h"

#include <wincrypt.h>

namespace {

const char kPrototypeName[] = "Microsoft Enhanced RSA and AES Cryptographic Provider (Prototype)";
const char kPlainName[] = "Microsoft Enhanced RSA and AES Cryptographic Provider";
const char kContainer[] = "QXContainer";

OsVersion QueryOsVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    OsVersion v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    v.known = GetVersionExA(&info) != FALSE;
#pragma GCC diagnostic pop
    if (v.known) {
        v.platformId = info.dwPlatformId;
        v.major = info.dwMajorVersion;
        v.minor = info.dwMinorVersion;
        v.build = info.dwBuildNumber;
    }
    return v;
}

// One context held for the whole process keeps the provider's library loaded. Without it
// every operation's own context loads and unloads the library again, which costs tens of
// milliseconds a time under Wine. It is never released: detached workers may still be
// sealing when the process ends.
void KeepProviderLoaded(const char* provider) {
    static const HCRYPTPROV keeper = [provider] {
        HCRYPTPROV context = 0;
        CryptAcquireContextA(&context, nullptr, provider, PROV_RSA_AES, CRYPT_VERIFYCONTEXT);
        return context;
    }();
    (void)keeper;
}

}  // namespace

AesProvider ChooseAesProvider(const OsVersion& v) {
    if (!v.known || v.platformId != VER_PLATFORM_WIN32_NT) return AesProvider::Prototype;
    switch (v.major) {
        case 5:
            return v.minor == 2 ? AesProvider::Plain : AesProvider::Prototype;
        case 6:
            return v.minor <= 3 ? AesProvider::Plain : AesProvider::Prototype;
        case 10:
            if (v.minor == 0 || v.build >= 14393) return AesProvider::Plain;
            return AesProvider::Prototype;
        default:
            return AesProvider::Plain;
    }
}

const char* AesProviderName() {
    // Thread-safe static: the first caller decides, every later one reads.
    static const AesProvider chosen = ChooseAesProvider(QueryOsVersion());
    return chosen == AesProvider::Prototype ? kPrototypeName : kPlainName;
}

bool AcquireCryptoContext(CryptProvHandle& context) {
    const char* provider = AesProviderName();
    KeepProviderLoaded(provider);
    // Every key is imported for one operation and destroyed with it, so no key container
    // is needed: a verify-only context stores nothing in the user's profile (where a
    // locked-down profile may refuse a container), and under Wine each acquisition of a
    // named container leaks a registry handle, one per sealed request all day long.
    if (CryptAcquireContextA(context.Receive(), nullptr, provider, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) return true;
    // Systems that refuse a verify-only context get the program's own container.
    if (CryptAcquireContextA(context.Receive(), kContainer, provider, PROV_RSA_AES, 0)) return true;
    if (CryptAcquireContextA(context.Receive(), kContainer, provider, PROV_RSA_AES, CRYPT_NEWKEYSET)) {
        return true;
    }
    // Another thread may have created the container between the two calls.
    return CryptAcquireContextA(context.Receive(), kContainer, provider, PROV_RSA_AES, 0) != FALSE;
}
