// Reading the length-prefixed, raw-deflated frame that a reply carries inside its AES layer.
#include "net/ReplyFrame.h"

#include "net/Deflate.h"

namespace {

constexpr size_t kLengthFieldSize = 4;

size_t ReadBigEndian32(const std::string& bytes) {
    auto at = [&](size_t i) { return static_cast<size_t>(static_cast<unsigned char>(bytes[i])); };
    return (at(0) << 24) | (at(1) << 16) | (at(2) << 8) | at(3);
}

}  // namespace

bool OpenReplyFrame(const std::string& plain, std::string& text) {
    if (plain.size() < kLengthFieldSize) return false;
    const size_t length = ReadBigEndian32(plain);
    if (length > kMaxReplyLength) return false;
    if (length == 0) {
        text.clear();
        return true;
    }
    return RawInflate(plain.data() + kLengthFieldSize, plain.size() - kLengthFieldSize, length, text);
}
