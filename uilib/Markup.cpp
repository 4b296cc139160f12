// XML reading for layout markup.
#include "uilib/Markup.h"
#include <windows.h>
#include <cwchar>
#include <cwctype>

namespace markup {
namespace {

class Reader {
public:
    Reader(const std::wstring& text, std::wstring& error) : s_(text), error_(error) {}

    std::unique_ptr<Element> Document() {
        SkipMisc();
        if (!Peek(L'<')) return Fail(L"no root element");
        auto root = ElementAt();
        if (!root) return nullptr;
        SkipMisc();
        if (pos_ < s_.size()) return Fail(L"text after the root element");
        return root;
    }

private:
    bool Peek(wchar_t c) const { return pos_ < s_.size() && s_[pos_] == c; }
    bool StartsWith(const wchar_t* t) const { return s_.compare(pos_, wcslen(t), t) == 0; }

    std::unique_ptr<Element> Fail(const wchar_t* why) {
        if (error_.empty()) error_ = std::wstring(why) + L" at offset " + std::to_wstring(pos_);
        return nullptr;
    }

    void SkipSpace() {
        while (pos_ < s_.size() && iswspace(s_[pos_])) pos_++;
    }

    // Whitespace, comments, the declaration and processing instructions.
    void SkipMisc() {
        for (;;) {
            SkipSpace();
            if (StartsWith(L"<!--")) {
                size_t end = s_.find(L"-->", pos_ + 4);
                pos_ = end == std::wstring::npos ? s_.size() : end + 3;
            } else if (StartsWith(L"<?")) {
                size_t end = s_.find(L"?>", pos_ + 2);
                pos_ = end == std::wstring::npos ? s_.size() : end + 2;
            } else if (StartsWith(L"<!")) {
                size_t end = s_.find(L'>', pos_ + 2);
                pos_ = end == std::wstring::npos ? s_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    static bool IsNameChar(wchar_t c) { return iswalnum(c) || c == L'_' || c == L'-' || c == L'.' || c == L':'; }

    std::wstring Name() {
        size_t start = pos_;
        while (pos_ < s_.size() && IsNameChar(s_[pos_])) pos_++;
        return s_.substr(start, pos_ - start);
    }

    // Replaces character and entity references; false on a malformed one.
    bool Unescape(const std::wstring& raw, std::wstring& out) {
        out.clear();
        for (size_t i = 0; i < raw.size(); i++) {
            if (raw[i] != L'&') {
                out += raw[i];
                continue;
            }
            size_t semi = raw.find(L';', i);
            if (semi == std::wstring::npos) return false;
            std::wstring ent = raw.substr(i + 1, semi - i - 1);
            if (ent == L"lt") out += L'<';
            else if (ent == L"gt") out += L'>';
            else if (ent == L"amp") out += L'&';
            else if (ent == L"quot") out += L'"';
            else if (ent == L"apos") out += L'\'';
            else if (ent.size() > 1 && ent[0] == L'#') {
                bool hex = ent[1] == L'x' || ent[1] == L'X';
                const wchar_t* digits = ent.c_str() + (hex ? 2 : 1);
                wchar_t* end = nullptr;
                unsigned long cp = wcstoul(digits, &end, hex ? 16 : 10);
                if (end == digits || *end || cp == 0 || cp > 0x10FFFF) return false;
                if (cp >= 0x10000) {
                    cp -= 0x10000;
                    out += static_cast<wchar_t>(0xD800 + (cp >> 10));
                    out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
                } else {
                    out += static_cast<wchar_t>(cp);
                }
            } else {
                return false;
            }
            i = semi;
        }
        return true;
    }

    std::unique_ptr<Element> ElementAt() {
        pos_++;  // '<'
        auto e = std::make_unique<Element>();
        e->name = Name();
        if (e->name.empty()) return Fail(L"element without a name");
        for (;;) {
            SkipSpace();
            if (StartsWith(L"/>")) {
                pos_ += 2;
                return e;
            }
            if (Peek(L'>')) {
                pos_++;
                break;
            }
            std::wstring attr = Name();
            if (attr.empty()) return Fail(L"malformed attribute");
            SkipSpace();
            if (!Peek(L'=')) return Fail(L"attribute without a value");
            pos_++;
            SkipSpace();
            if (!Peek(L'"') && !Peek(L'\'')) return Fail(L"unquoted attribute value");
            wchar_t quote = s_[pos_++];
            size_t end = s_.find(quote, pos_);
            if (end == std::wstring::npos) return Fail(L"unterminated attribute value");
            std::wstring value;
            if (!Unescape(s_.substr(pos_, end - pos_), value)) return Fail(L"bad character reference");
            pos_ = end + 1;
            e->attributes.emplace_back(attr, value);
        }
        // Content: child elements; text between them is ignored (controls take text
        // from attributes).
        for (;;) {
            size_t lt = s_.find(L'<', pos_);
            if (lt == std::wstring::npos) return Fail(L"unterminated element");
            pos_ = lt;
            if (StartsWith(L"</")) {
                pos_ += 2;
                std::wstring closing = Name();
                SkipSpace();
                if (closing != e->name || !Peek(L'>')) return Fail(L"mismatched closing tag");
                pos_++;
                return e;
            }
            if (StartsWith(L"<!--") || StartsWith(L"<?") || StartsWith(L"<!")) {
                SkipMisc();
                continue;
            }
            auto child = ElementAt();
            if (!child) return nullptr;
            e->children.push_back(std::move(child));
        }
    }

    const std::wstring& s_;
    std::wstring& error_;
    size_t pos_ = 0;
};

}  // namespace

const std::wstring* Element::Attribute(const wchar_t* attrName) const {
    for (const auto& a : attributes) {
        if (a.first == attrName) return &a.second;
    }
    return nullptr;
}

std::unique_ptr<Element> Parse(const std::wstring& text, std::wstring& error) {
    error.clear();
    Reader reader(text, error);
    return reader.Document();
}

std::wstring DecodeText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring out((bytes.size() - 2) / 2, L'\0');
        memcpy(&out[0], bytes.data() + 2, out.size() * 2);
        return out;
    }
    size_t skip = bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, static_cast<int>(bytes.size() - skip), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, static_cast<int>(bytes.size() - skip), &out[0], n);
    return out;
}

}  // namespace markup
