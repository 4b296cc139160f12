// Fault modes: each spoils one layer of the reply and leaves the others sound, so a test
// sees exactly the failure it names.
#include "Faults.h"

#include <openssl/rand.h>

#include <fstream>
#include <iterator>

namespace {

const struct {
    const char* name;
    FaultMode mode;
} kModes[] = {
    {"none", FaultMode::None},
    {"refuse", FaultMode::Refuse},
    {"stall", FaultMode::Stall},
    {"garbage", FaultMode::Garbage},
    {"wrongkey", FaultMode::WrongKey},
    {"truncated", FaultMode::Truncated},
    {"huge-length", FaultMode::HugeLength},
    {"no-data", FaultMode::NoData},
    {"trickle", FaultMode::Trickle},
    {"empty-pages", FaultMode::EmptyPages},
};

// L of the huge-length reply: far above the 64 MiB that any client should accept.
constexpr uint32_t kHugeLength = 0xF0000000u;

// Another key whose ciphertext is sure to fail the padding check under the real key
// (a random key passes it by chance about once in 256 tries).
std::string SealUnderOtherKey(const std::string& frame, const RequestKeys& keys) {
    for (;;) {
        RequestKeys other = keys;
        RAND_bytes(reinterpret_cast<unsigned char*>(&other.key[0]), static_cast<int>(other.key.size()));
        std::string cipher = AesSeal(frame, other), ignored;
        if (!AesOpen(cipher, keys, &ignored)) return Base64Encode(cipher);
    }
}

}  // namespace

bool ParseFaultMode(const std::string& name, FaultMode* mode) {
    for (const auto& m : kModes)
        if (name == m.name) {
            *mode = m.mode;
            return true;
        }
    return false;
}

FaultMode ReadFaultFile(const std::string& path, FaultMode fallback, std::string* named, bool* known) {
    named->clear();
    *known = true;
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const char* space = " \t\r\n\v\f";
    if (text.find_first_not_of(space) == std::string::npos) return fallback;
    std::string line = text.substr(0, text.find('\n'));
    size_t first = line.find_first_not_of(space);
    if (first != std::string::npos) *named = line.substr(first, line.find_last_not_of(space) - first + 1);
    FaultMode mode;
    if (ParseFaultMode(*named, &mode)) return mode;
    *known = false;
    return FaultMode::None;
}

ConnectionPolicy PolicyFor(FaultMode mode) {
    if (mode == FaultMode::Refuse) return ConnectionPolicy::Close;
    if (mode == FaultMode::Stall) return ConnectionPolicy::Hold;
    return ConnectionPolicy::Serve;
}

std::string SealWithFault(FaultMode mode, const std::string& json, const RequestKeys& keys) {
    uint32_t length = static_cast<uint32_t>(json.size());
    std::string deflated = RawDeflate(json);
    switch (mode) {
        case FaultMode::Garbage: return "<html><body>502 Bad Gateway: upstreams !@#$%^&*()</body></html>=";
        case FaultMode::WrongKey: return SealUnderOtherKey(ReplyFrame(length, deflated), keys);
        case FaultMode::Truncated:
            return Base64Encode(AesSeal(ReplyFrame(length, deflated.substr(0, deflated.size() / 2)), keys));
        case FaultMode::HugeLength: return Base64Encode(AesSeal(ReplyFrame(kHugeLength, deflated), keys));
        case FaultMode::NoData: return SealReply("{\"status\":1,\"msg\":\"service unavailable\"}", keys);
        default: return SealReply(json, keys);
    }
}
