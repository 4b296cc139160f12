// Raw deflate and inflate on zlib: window bits -15 means no header and no checksum.
#include "net/Deflate.h"

#include <zlib.h>

#include <climits>

namespace {
constexpr int kRawWindowBits = -15;  // 32 KiB window, raw stream
constexpr int kMemLevel = 8;         // zlib's default
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
    z_stream z{};
    if (inflateInit2(&z, kRawWindowBits) != Z_OK) return false;
    // One spare byte: a stream that wants to give more than `length` fills it and is refused.
    std::string out(length + 1, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream));
    z.avail_in = static_cast<uInt>(size);
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    int rc = inflate(&z, Z_FINISH);
    size_t produced = z.total_out;
    inflateEnd(&z);
    if (rc != Z_STREAM_END || produced != length) return false;
    out.resize(length);
    bytes.swap(out);
    return true;
}
