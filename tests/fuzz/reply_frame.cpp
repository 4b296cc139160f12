// The reply's opening without its AES layer: the bytes as Base64 text (the lenient
// decoder), and the bytes, or what the decoder gives, as the length-prefixed raw-deflate
// frame. A frame's result is checked against a one-shot inflate into length + 1 bytes.
#include <zlib.h>

#include "net/Base64.h"
#include "net/ReplyFrame.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// Beyond this the model's one-shot buffer costs more time than the check is worth.
constexpr size_t kModelLimit = 1u << 20;

size_t DeclaredLength(const std::string& plain) {
    auto at = [&](size_t i) { return static_cast<size_t>(static_cast<unsigned char>(plain[i])); };
    return (at(0) << 24) | (at(1) << 16) | (at(2) << 8) | at(3);
}

// The frame's rule written the plain way: the stream, inflated into exactly L + 1 bytes of
// room, must end having given L.
bool ModelFrame(const std::string& plain, size_t length, std::string* text) {
    if (length == 0) {
        text->clear();
        return true;
    }
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    std::string out(length + 1, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data() + 4));
    z.avail_in = static_cast<uInt>(plain.size() - 4);
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    int rc = inflate(&z, Z_FINISH);
    size_t produced = z.total_out;
    inflateEnd(&z);
    if (rc != Z_STREAM_END || produced != length) return false;
    out.resize(length);
    *text = out;
    return true;
}

void CheckFrame(const std::string& plain) {
    std::string text = "unchanged";
    const bool ok = OpenReplyFrame(plain, text);
    if (plain.size() < 4) {
        FUZZ_CHECK(!ok);
    } else {
        const size_t length = DeclaredLength(plain);
        if (length > kMaxReplyLength) FUZZ_CHECK(!ok);
        if (ok) FUZZ_CHECK(text.size() == length);
        if (length <= kModelLimit) {
            std::string model;
            const bool modelOk = ModelFrame(plain, length, &model);
            FUZZ_CHECK(ok == modelOk);
            if (ok) FUZZ_CHECK(text == model);
        }
    }
    if (!ok) FUZZ_CHECK(text == "unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = FuzzInput(data, size);
    CheckFrame(input);

    std::string bytes = "unchanged";
    if (Base64Decode(input, bytes)) {
        // Every 4 characters give at most 3 bytes, and the bytes encode back to text that
        // decodes to them again.
        FUZZ_CHECK(bytes.size() <= input.size() / 4 * 3 + 2);
        std::string again;
        FUZZ_CHECK(Base64Decode(Base64Encode(bytes), again));
        FUZZ_CHECK(again == bytes);
        CheckFrame(bytes);
    } else {
        FUZZ_CHECK(bytes == "unchanged");
        FUZZ_CHECK(input.find('=') != std::string::npos);
    }
    return 0;
}
