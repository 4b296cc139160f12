// The reply's opening without its AES layer: the bytes as Base64 text (the lenient
// decoder), and the bytes, or what the decoder gives, as the length-prefixed raw-deflate
// frame. A frame's result is checked against a one-shot inflate into length + 1 bytes.
#include "net/Base64.h"
#include "net/ReplyFrame.h"
#include "tests/fuzz/FrameModel.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// Beyond this the model's one-shot buffer costs more time than the check is worth.
constexpr size_t kModelLimit = 1u << 20;

void CheckFrame(const std::string& plain) {
    std::string text = "unchanged";
    const bool ok = OpenReplyFrame(plain, text);
    if (plain.size() < 4) {
        FUZZ_CHECK(!ok);
    } else {
        const size_t length = DeclaredFrameLength(plain);
        if (length > kMaxReplyLength) FUZZ_CHECK(!ok);
        if (ok) FUZZ_CHECK(text.size() == length);
        if (length <= kModelLimit) {
            std::string model;
            const bool modelOk = ModelFrame(plain, kMaxReplyLength, &model);
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
