// Raw deflate and inflate on zlib: window bits -15 means no header and no checksum.
#include "net/Deflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <new>

namespace {
constexpr int kRawWindowBits = -15;  // 32 KiB window, raw stream
constexpr int kMemLevel = 8;         // zlib's default
constexpr size_t kOutputStep = 64u << 10;  // the first room an inflate fills
}  // namespace

bool RawDeflate(const std::string& bytes, std::string& stream) {
    if (bytes.size() > UINT_MAX / 2) return false;
    z_stream z{};
    // Level 9 is zlib's good 32, lazy 258, nice 258, chain 4096.
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, kRawWindowBits, kMemLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        return false;
    }
    std::string out(deflateBound(&z, static_cast<uLong>(bytes.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    int rc = deflate(&z, Z_FINISH);
    size_t produced = z.total_out;
    deflateEnd(&z);
    if (rc != Z_STREAM_END) return false;
    out.resize(produced);
    stream.swap(out);
    return true;
}

bool RawInflate(const char* stream, size_t size, size_t length, std::string& bytes) {
    if (size > UINT_MAX || length >= UINT_MAX) return false;
    // One spare byte: a stream that wants to give more than `length` fills it and is refused.
    const size_t limit = length + 1;
    std::string out;
    try {
        // Room for all of it at once, but written (and so paid for) only as the stream gives
        // bytes: a short stream that declares a large length costs next to nothing.
        out.reserve(limit);
    } catch (const std::bad_alloc&) {
        return false;
    }
    z_stream z{};
    if (inflateInit2(&z, kRawWindowBits) != Z_OK) return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream));
    z.avail_in = static_cast<uInt>(size);
    int rc = Z_OK;
    for (;;) {
        const size_t produced = z.total_out;
        if (produced == out.size()) {
            if (out.size() == limit) break;  // the spare byte is taken: too long
            // Within the reserved room: no reallocation, only the new part is filled.
            out.resize(std::min(limit, std::max(out.size() * 2, kOutputStep)));
        }
        z.next_out = reinterpret_cast<Bytef*>(&out[produced]);
        z.avail_out = static_cast<uInt>(out.size() - produced);
        // Z_OK means progress; anything else ends it: the stream's end, a corrupt stream, or
        // Z_BUF_ERROR when the stream stops short of its end with room left.
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK) break;
    }
    const size_t produced = z.total_out;
    inflateEnd(&z);
    if (rc != Z_STREAM_END || produced != length) return false;
    out.resize(length);
    bytes.swap(out);
    return true;
}
