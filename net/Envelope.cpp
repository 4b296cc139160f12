// Seals a request URL into the endpoint's form body and opens its reply.
#include "net/Envelope.h"

#include <cstring>

#include "net/Base64.h"
#include "net/Deflate.h"

namespace {

constexpr size_t kLengthFieldSize = 4;

// Base64 of the key material wrapped with the endpoint's public key.
bool SealKeyField(const BYTE* bytes, size_t size, std::string& field) {
    std::string sealed;
    if (!RsaSeal(std::string(reinterpret_cast<const char*>(bytes), size), sealed)) return false;
    field = Base64Encode(sealed);
    return true;
}

size_t ReadBigEndian32(const std::string& bytes) {
    auto at = [&](size_t i) { return static_cast<size_t>(static_cast<unsigned char>(bytes[i])); };
    return (at(0) << 24) | (at(1) << 16) | (at(2) << 8) | at(3);
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
    if (!AesOpen(sealed, keys.Key(), keys.Iv(), plain)) return false;
    if (plain.size() < kLengthFieldSize) return false;
    const size_t length = ReadBigEndian32(plain);
    if (length > kMaxReplyLength) return false;
    if (length == 0) {
        text.clear();
        return true;
    }
    return RawInflate(plain.data() + kLengthFieldSize, plain.size() - kLengthFieldSize, length, text);
}
