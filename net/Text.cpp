// Text conversions between UTF-8, the ANSI code page and UTF-16, and the percent-encoder
// that search keywords travel through.
#include "net/Text.h"

#include <climits>
#include <cstring>

namespace {

// Size of the first attempt's buffer: most texts fit, so most conversions allocate once.
constexpr int kFixedUnits = 511;

// Length of bytes up to the first NUL, but no further than length.
size_t LengthToNul(const char* bytes, size_t length) {
    const void* nul = std::memchr(bytes, 0, length);
    return nul ? static_cast<const char*>(nul) - bytes : length;
}

// flags 0 replaces what does not convert; MB_ERR_INVALID_CHARS fails on it instead.
std::wstring ToWideWith(const char* bytes, size_t length, UINT codePage, DWORD flags) {
    if (!bytes) return {};
    length = LengthToNul(bytes, length);
    if (length == 0 || length > INT_MAX) return {};
    int inLen = static_cast<int>(length);

    wchar_t fixed[kFixedUnits];
    int n = MultiByteToWideChar(codePage, flags, bytes, inLen, fixed, kFixedUnits);
    if (n > 0) return std::wstring(fixed, n);

    n = MultiByteToWideChar(codePage, flags, bytes, inLen, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(n, L'\0');
    n = MultiByteToWideChar(codePage, flags, bytes, inLen, &out[0], n);
    if (n <= 0) return {};
    out.resize(n);
    return out;
}

}  // namespace

std::wstring ToWide(const char* bytes, size_t length, UINT codePage) {
    return ToWideWith(bytes, length, codePage, 0);
}

std::wstring ToWide(const std::string& bytes, UINT codePage) {
    return ToWide(bytes.data(), bytes.size(), codePage);
}

std::wstring ToWideStrict(const std::string& bytes, UINT codePage) {
    return ToWideWith(bytes.data(), bytes.size(), codePage, MB_ERR_INVALID_CHARS);
}

std::string FromWide(const wchar_t* text, UINT codePage) {
    if (!text) return {};
    size_t length = wcslen(text);
    if (length == 0 || length > INT_MAX) return {};
    int inLen = static_cast<int>(length);

    char fixed[kFixedUnits];
    int n = WideCharToMultiByte(codePage, 0, text, inLen, fixed, kFixedUnits, nullptr, nullptr);
    if (n > 0) return std::string(fixed, n);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};

    n = WideCharToMultiByte(codePage, 0, text, inLen, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(n, '\0');
    n = WideCharToMultiByte(codePage, 0, text, inLen, &out[0], n, nullptr, nullptr);
    if (n <= 0) return {};
    out.resize(n);
    return out;
}

std::string FromWide(const std::wstring& text, UINT codePage) {
    return FromWide(text.c_str(), codePage);
}

std::string Utf8ToAnsi(const std::string& text) {
    return FromWide(ToWide(text, CP_UTF8), CP_ACP);
}

std::string Utf8ToAnsiStrict(const std::string& text) {
    return FromWide(ToWideStrict(text, CP_UTF8), CP_ACP);
}

std::string AnsiToUtf8(const std::string& text) {
    return FromWide(ToWide(text, CP_ACP), CP_UTF8);
}

std::string UrlEncode(const std::string& bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (unsigned char c : bytes) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}
