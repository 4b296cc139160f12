// Raw DEFLATE streams (no zlib or gzip wrapper, no checksum), as the envelope carries them.
#pragma once
#include <cstddef>
#include <string>

// Compresses at the highest level with a 32 KiB window. False only when zlib fails.
bool RawDeflate(const std::string& bytes, std::string& stream);
// Inflates a stream that must give exactly `length` bytes: a corrupt or cut stream, or one
// that gives more or fewer bytes, fails without allocating more than `length` + 1 bytes, and
// only as much of that is written as the stream gives.
bool RawInflate(const char* stream, size_t size, size_t length, std::string& bytes);
