// Attribute value parsing for layout markup.
#include "uilib/Attributes.h"
#include <cwchar>
#include <cwctype>

namespace attr {
namespace {
// Reads count comma-separated integers.
bool ParseInts(const wchar_t* text, long* out, int count) {
    if (!text) return false;
    const wchar_t* p = text;
    for (int i = 0; i < count; i++) {
        while (*p == L' ') p++;
        wchar_t* end = nullptr;
        out[i] = wcstol(p, &end, 10);
        if (end == p) return false;
        p = end;
        while (*p == L' ') p++;
        if (i + 1 < count) {
            if (*p != L',') return false;
            p++;
        }
    }
    return true;
}
}  // namespace

int ParseInt(const wchar_t* text) { return text ? static_cast<int>(wcstol(text, nullptr, 10)) : 0; }

bool ParseBool(const wchar_t* text) { return text && _wcsicmp(text, L"true") == 0; }

bool ParseRect(const wchar_t* text, RECT& rc) {
    long v[4];
    if (!ParseInts(text, v, 4)) return false;
    rc = {v[0], v[1], v[2], v[3]};
    return true;
}

bool ParseSize(const wchar_t* text, SIZE& sz) {
    long v[2];
    if (!ParseInts(text, v, 2)) return false;
    sz = {v[0], v[1]};
    return true;
}

std::wstring ImageFileName(const wchar_t* text) {
    if (!text) return std::wstring();
    std::wstring s(text);
    if (s.find(L"file='") == std::wstring::npos && s.find(L"file=\"") == std::wstring::npos) return s;
    for (const auto& kv : ParseAttributeList(s)) {
        if (kv.first == L"file") return kv.second;
    }
    return std::wstring();
}

std::vector<std::pair<std::wstring, std::wstring>> ParseAttributeList(const std::wstring& text) {
    std::vector<std::pair<std::wstring, std::wstring>> out;
    size_t i = 0, n = text.size();
    while (i < n) {
        while (i < n && iswspace(text[i])) i++;
        size_t nameStart = i;
        while (i < n && text[i] != L'=' && !iswspace(text[i])) i++;
        std::wstring name = text.substr(nameStart, i - nameStart);
        while (i < n && iswspace(text[i])) i++;
        if (i >= n || text[i] != L'=') break;
        i++;
        while (i < n && iswspace(text[i])) i++;
        if (i >= n || (text[i] != L'"' && text[i] != L'\'')) break;
        wchar_t quote = text[i++];
        size_t valueStart = i;
        while (i < n && text[i] != quote) i++;
        if (i >= n) break;
        out.emplace_back(name, text.substr(valueStart, i - valueStart));
        i++;
    }
    return out;
}

}  // namespace attr
