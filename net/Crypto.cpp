// RSA and AES on CryptoAPI. Each operation takes a fresh provider context and key and
// releases both, so operations on several threads never share state.
#include "net/Crypto.h"

#include <wincrypt.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/WinHandle.h"
#include "net/CryptoProvider.h"
#include "net/TunnelKeyBlob.h"  // generated at build time from the endpoint's PEM key

namespace {

constexpr DWORD kPkcs1Overhead = 11;

// PLAINTEXTKEYBLOB for AES-256: header, key length, key bytes.
struct AesKeyBlob {
    BLOBHEADER header;
    DWORD keySize;
    BYTE key[kAesKeySize];
};
static_assert(sizeof(AesKeyBlob) == 44, "the AES key blob is 44 bytes");

bool ImportAesKey(HCRYPTPROV context, const BYTE* key, const BYTE* iv, CryptKeyHandle& out) {
    AesKeyBlob blob{};
    blob.header.bType = PLAINTEXTKEYBLOB;
    blob.header.bVersion = CUR_BLOB_VERSION;
    blob.header.reserved = 0;
    blob.header.aiKeyAlg = CALG_AES_256;
    blob.keySize = kAesKeySize;
    std::memcpy(blob.key, key, kAesKeySize);
    BOOL ok = CryptImportKey(context, reinterpret_cast<const BYTE*>(&blob), sizeof(blob), 0, 0,
                             out.Receive());
    SecureZeroMemory(&blob, sizeof(blob));
    if (!ok) return false;

    DWORD mode = CRYPT_MODE_CBC;
    DWORD padding = PKCS5_PADDING;
    return CryptSetKeyParam(out.Get(), KP_MODE, reinterpret_cast<const BYTE*>(&mode), 0) &&
           CryptSetKeyParam(out.Get(), KP_PADDING, reinterpret_cast<const BYTE*>(&padding), 0) &&
           CryptSetKeyParam(out.Get(), KP_IV, iv, 0);
}

}  // namespace

bool RsaSeal(const std::string& bytes, std::string& sealed) {
    CryptProvHandle context;
    if (!AcquireCryptoContext(context)) return false;
    CryptKeyHandle key;
    if (!CryptImportKey(context.Get(), kTunnelPublicKeyBlob, sizeof(kTunnelPublicKeyBlob), 0, 0,
                        key.Receive())) {
        return false;
    }
    DWORD blockBits = 0;
    DWORD paramSize = sizeof(blockBits);
    if (!CryptGetKeyParam(key.Get(), KP_BLOCKLEN, reinterpret_cast<BYTE*>(&blockBits), &paramSize, 0)) {
        return false;
    }
    const DWORD block = blockBits / 8;
    if (block <= kPkcs1Overhead) return false;
    const size_t piece = block - kPkcs1Overhead;

    std::string out;
    size_t offset = 0;
    do {
        size_t take = std::min(piece, bytes.size() - offset);
        bool last = offset + take == bytes.size();
        std::string buffer(block, '\0');
        std::memcpy(&buffer[0], bytes.data() + offset, take);
        DWORD length = static_cast<DWORD>(take);
        if (!CryptEncrypt(key.Get(), 0, last, 0, reinterpret_cast<BYTE*>(&buffer[0]), &length, block)) {
            return false;
        }
        out.append(buffer, 0, length);
        offset += take;
    } while (offset < bytes.size());

    // CryptoAPI writes the ciphertext little-endian; the endpoint reads it big-endian.
    std::reverse(out.begin(), out.end());
    sealed.swap(out);
    return true;
}

bool AesSeal(const std::string& bytes, const BYTE* key, const BYTE* iv, std::string& sealed) {
    if (bytes.size() > UINT_MAX / 2) return false;
    CryptProvHandle context;
    if (!AcquireCryptoContext(context)) return false;
    CryptKeyHandle aes;
    if (!ImportAesKey(context.Get(), key, iv, aes)) return false;

    // PKCS #7 always adds 1 to 16 bytes of padding.
    const DWORD capacity = static_cast<DWORD>((bytes.size() / 16 + 1) * 16);
    std::string out(capacity, '\0');
    std::memcpy(&out[0], bytes.data(), bytes.size());
    DWORD length = static_cast<DWORD>(bytes.size());
    if (!CryptEncrypt(aes.Get(), 0, TRUE, 0, reinterpret_cast<BYTE*>(&out[0]), &length, capacity)) {
        return false;
    }
    out.resize(length);
    sealed.swap(out);
    return true;
}

bool AesOpen(const std::string& sealed, const BYTE* key, const BYTE* iv, std::string& bytes) {
    if (sealed.empty() || sealed.size() % 16 != 0 || sealed.size() > UINT_MAX / 2) return false;
    CryptProvHandle context;
    if (!AcquireCryptoContext(context)) return false;
    CryptKeyHandle aes;
    if (!ImportAesKey(context.Get(), key, iv, aes)) return false;

    std::string out = sealed;
    DWORD length = static_cast<DWORD>(out.size());
    if (!CryptDecrypt(aes.Get(), 0, TRUE, 0, reinterpret_cast<BYTE*>(&out[0]), &length)) return false;
    out.resize(length);
    bytes.swap(out);
    return true;
}

bool RandomBytes(BYTE* out, size_t size) {
    if (size > ULONG_MAX) return false;
    CryptProvHandle context;
    if (!AcquireCryptoContext(context)) return false;
    return CryptGenRandom(context.Get(), static_cast<DWORD>(size), out) != FALSE;
}
