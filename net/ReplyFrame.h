// The frame inside a reply's AES layer: a 4-byte big-endian length, then raw deflate.
#pragma once
#include <cstddef>
#include <string>

// The largest reply text accepted: replies are JSON of a few hundred KiB at most, and
// the length comes from the server, so it is never trusted beyond this.
constexpr size_t kMaxReplyLength = 64u << 20;

// plain: the reply's bytes after AES. Its first 4 bytes are the text's length L (big-endian,
// at most kMaxReplyLength), the rest a raw deflate stream that must give exactly L bytes;
// L = 0 is the empty text whatever follows. False, with text untouched, on anything else.
bool OpenReplyFrame(const std::string& plain, std::string& text);
