// The reply frame's rule written the plain way, for the fuzz targets and the mutation
// loop to check the real opening against: a 4-byte big-endian length L, then a raw-deflate
// stream that, inflated into L + 1 bytes of room, ends having given exactly L (L = 0 is the
// empty text).
#pragma once
#include <zlib.h>

#include <cstddef>
#include <string>

inline size_t DeclaredFrameLength(const std::string& plain) {
    size_t length = 0;
    for (size_t i = 0; i < 4 && i < plain.size(); i++) length = (length << 8) | static_cast<unsigned char>(plain[i]);
    return length;
}

// False for a frame shorter than its length field or declaring more than cap.
inline bool ModelFrame(const std::string& plain, size_t cap, std::string* text) {
    if (plain.size() < 4) return false;
    const size_t length = DeclaredFrameLength(plain);
    if (length > cap) return false;
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
