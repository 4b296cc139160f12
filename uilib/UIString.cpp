// CDuiString: the library's wide string.
#include "uilib/UIDefs.h"
#include <cstdarg>
#include <cwchar>
#include <vector>

CDuiString::CDuiString(const wchar_t* text, int length) { Assign(text, length); }

wchar_t CDuiString::GetAt(int index) const {
    if (index < 0 || index >= GetLength()) return 0;
    return text_[index];
}

void CDuiString::Assign(const wchar_t* text, int length) {
    if (!text) {
        text_.clear();
        return;
    }
    size_t n = wcslen(text);
    if (length >= 0 && static_cast<size_t>(length) < n) n = length;
    text_.assign(text, n);
}

void CDuiString::Append(const wchar_t* text) {
    if (text) text_ += text;
}

CDuiString& CDuiString::operator=(const wchar_t* text) {
    Assign(text);
    return *this;
}

CDuiString& CDuiString::operator+=(const wchar_t* text) {
    Append(text);
    return *this;
}

CDuiString& CDuiString::operator+=(const CDuiString& other) {
    text_ += other.text_;
    return *this;
}

CDuiString& CDuiString::operator+=(wchar_t ch) {
    text_ += ch;
    return *this;
}

CDuiString CDuiString::operator+(const wchar_t* text) const {
    CDuiString r(*this);
    r += text;
    return r;
}

CDuiString CDuiString::operator+(const CDuiString& other) const {
    CDuiString r(*this);
    r += other;
    return r;
}

bool CDuiString::operator==(const wchar_t* text) const { return Compare(text) == 0; }

int CDuiString::Compare(const wchar_t* text) const { return wcscmp(text_.c_str(), text ? text : L""); }

int CDuiString::CompareNoCase(const wchar_t* text) const {
    return _wcsicmp(text_.c_str(), text ? text : L"");
}

CDuiString CDuiString::Left(int count) const { return Mid(0, count); }

CDuiString CDuiString::Mid(int start, int count) const {
    int len = GetLength();
    if (start < 0) start = 0;
    if (start >= len) return CDuiString();
    if (count < 0 || start + count > len) count = len - start;
    return CDuiString(text_.substr(start, count));
}

CDuiString CDuiString::Right(int count) const {
    int len = GetLength();
    if (count < 0) count = 0;
    if (count > len) count = len;
    return Mid(len - count, count);
}

int CDuiString::Find(wchar_t ch, int start) const {
    if (start < 0 || start >= GetLength()) return -1;
    size_t pos = text_.find(ch, start);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CDuiString::Find(const wchar_t* text, int start) const {
    if (!text || start < 0 || start > GetLength()) return -1;
    size_t pos = text_.find(text, start);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CDuiString::Replace(const wchar_t* from, const wchar_t* to) {
    if (!from || !*from) return 0;
    std::wstring f(from), t(to ? to : L"");
    int count = 0;
    size_t pos = 0;
    while ((pos = text_.find(f, pos)) != std::wstring::npos) {
        text_.replace(pos, f.size(), t);
        pos += t.size();
        ++count;
    }
    return count;
}

void CDuiString::MakeUpper() {
    for (auto& c : text_) c = towupper(c);
}

void CDuiString::MakeLower() {
    for (auto& c : text_) c = towlower(c);
}

int CDuiString::Format(const wchar_t* format, ...) {
    // Grows the buffer until the text fits: no truncation however long the arguments.
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        int n = _vsnwprintf(buf.data(), buf.size(), format, args);
        va_end(args);
        if (n >= 0 && static_cast<size_t>(n) < buf.size()) {
            text_.assign(buf.data(), n);
            return n;
        }
        if (buf.size() > (1u << 24)) {
            text_.clear();
            return -1;
        }
        buf.resize(buf.size() * 2);
    }
}
