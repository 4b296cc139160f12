// Seals a request URL into the endpoint's form body and opens its reply.
#include "net/Envelope.h"

#include <cstring>

#include "net/Base64.h"
#include "net/Deflate.h"
#include "net/ReplyFrame.h"

namespace {

// Base64 of the key material wrapped with the endpoint's public key.
bool SealKeyField(const BYTE* bytes, size_t size, std::string& field) {
    std::string sealed;
    if (!RsaSeal(std::string(reinterpret_cast<const char*>(bytes), size), sealed)) return false;
    field = Base64Encode(sealed);
    return true;
}

}  // namespace

bool RequestKeys::Generate() {
    return RandomBytes(block_, sizeof(block_));
}

void RequestKeys::Set(const BYTE* iv, const BYTE* key) {
    std::memcpy(block_, iv, kAesIvSize);
    std::memcpy(block_ + kAesIvSize, key, kAesKeySize);
}

bool SealText(const std::string& text, const RequestKeys& keys, std::string& field) {
    field.clear();
    if (text.empty()) return true;
    std::string compressed, sealed;
    if (!RawDeflate(text, compressed)) return false;
    // Every field starts from the request's IV: equal texts give equal fields.
    if (!AesSeal(compressed, keys.Key(), keys.Iv(), sealed)) return false;
    field = Base64Encode(sealed);
    return true;
}

bool SealRequestWith(const RequestKeys& keys, const std::string& base, const std::string& query,
                     std::string& body) {
    std::string k, v, u, g;
    if (!SealKeyField(keys.Key(), kAesKeySize, k) || !SealKeyField(keys.Iv(), kAesIvSize, v)) {
        return false;
    }
    if (!SealText(base, keys, u) || !SealText(query, keys, g)) return false;
    body = "k=" + k + "&v=" + v + "&u=" + u;
    if (!g.empty()) body += "&g=" + g;
    return true;
}

bool SealRequest(const std::string& base, const std::string& query, RequestKeys& keys,
                 std::string& body) {
    if (!keys.Generate()) return false;
    return SealRequestWith(keys, base, query, body);
}

bool OpenReply(const RequestKeys& keys, const std::string& reply, std::string& text) {
    std::string sealed, plain;
    if (!Base64Decode(reply, sealed)) return false;
    // CryptoAPI opens the AES layer; what it gives is read without any system call.
    if (!AesOpen(sealed, keys.Key(), keys.Iv(), plain)) return false;
    return OpenReplyFrame(plain, text);
}
