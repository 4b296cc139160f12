// Base64 encoder and the lenient decoder used on the endpoint's replies.
#include "net/Base64.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of one Base64 character, or -1 for a character the decoder skips.
int SextetOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+' || c == ' ') return 62;
    if (c == '/') return 63;
    return -1;
}

// Appends the whole bytes of a group of `count` sextets held in the top of `bits`.
void FlushGroup(unsigned bits, int count, std::string& out) {
    // 4 sextets give 3 bytes, 3 give 2, 2 give 1.
    int bytes = count - 1;
    for (int i = 0; i < bytes; i++) out += static_cast<char>((bits >> (16 - 8 * i)) & 0xFF);
}

}  // namespace

std::string Base64Encode(const std::string& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    const size_t n = bytes.size();
    auto at = [&](size_t k) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[k])); };
    for (; i + 3 <= n; i += 3) {
        unsigned v = (at(i) << 16) | (at(i + 1) << 8) | at(i + 2);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (n - i == 1) {
        unsigned v = at(i) << 16;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += "==";
    } else if (n - i == 2) {
        unsigned v = (at(i) << 16) | (at(i + 1) << 8);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += '=';
    }
    return out;
}

bool Base64Decode(const std::string& text, std::string& bytes) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    unsigned bits = 0;  // the current group, left-aligned in 24 bits
    int pending = 0;
    for (char c : text) {
        if (c == '\0') break;
        if (c == '=') {
            if (pending < 2) return false;
            break;
        }
        int v = SextetOf(c);
        if (v < 0) continue;
        bits |= static_cast<unsigned>(v) << (18 - 6 * pending);
        if (++pending == 4) {
            FlushGroup(bits, 4, out);
            bits = 0;
            pending = 0;
        }
    }
    if (pending >= 2) FlushGroup(bits, pending, out);
    bytes.swap(out);
    return true;
}
