// Reads the clipboard the way a chat window does: the rich formats first, then whatever
// else is there, and finds the picture file they name.
#include "tools/chat/PastedContent.h"
#include "net/Text.h"
#include <shlwapi.h>

namespace {
struct StandardFormat {
    UINT id;
    const wchar_t* name;
};
const StandardFormat kStandardFormats[] = {
    {CF_TEXT, L"CF_TEXT"},         {CF_BITMAP, L"CF_BITMAP"},   {CF_OEMTEXT, L"CF_OEMTEXT"},
    {CF_DIB, L"CF_DIB"},           {CF_UNICODETEXT, L"CF_UNICODETEXT"},
    {CF_ENHMETAFILE, L"CF_ENHMETAFILE"}, {CF_HDROP, L"CF_HDROP"}, {CF_LOCALE, L"CF_LOCALE"},
    {CF_DIBV5, L"CF_DIBV5"},
};

std::wstring FormatName(UINT id) {
    for (const StandardFormat& f : kStandardFormats) {
        if (f.id == id) return f.name;
    }
    wchar_t name[256] = {};
    if (GetClipboardFormatNameW(id, name, 256) > 0) return name;
    return L"#" + std::to_wstring(id);
}

// The bytes of a format up to its first zero (or the block's end).
std::string ReadBytes(UINT id) {
    HANDLE block = GetClipboardData(id);
    if (!block) return std::string();
    const char* bytes = static_cast<const char*>(GlobalLock(block));
    if (!bytes) return std::string();
    size_t size = GlobalSize(block);
    size_t length = 0;
    while (length < size && bytes[length] != '\0') length++;
    std::string text(bytes, length);
    GlobalUnlock(block);
    return text;
}

// The text between `start` (matched case-insensitively) and the next double quote.
std::string QuotedAfter(const std::string& text, const char* start) {
    const char* found = StrStrIA(text.c_str(), start);
    if (!found) return std::string();
    size_t from = (found - text.c_str()) + strlen(start);
    size_t to = text.find('"', from);
    if (to == std::string::npos) return std::string();
    return text.substr(from, to - from);
}
}  // namespace

std::string PicturePathFromHtml(const std::string& html) {
    std::string source = QuotedAfter(html, "<IMG src=\"");
    const char kFileScheme[] = "file:///";
    if (StrCmpNIA(source.c_str(), kFileScheme, 8) != 0) return std::string();
    return source.substr(8);
}

std::string PicturePathFromRichEditXml(const std::string& xml) {
    return QuotedAfter(xml, "filepath=\"");
}

PastedContent ReadPastedContent(HWND owner) {
    PastedContent content;
    if (!OpenClipboard(owner)) return content;
    std::string html, richEdit;
    for (UINT id = EnumClipboardFormats(0); id != 0; id = EnumClipboardFormats(id)) {
        ClipboardFormatInfo info;
        info.id = id;
        info.name = FormatName(id);
        if (HANDLE block = GetClipboardData(id)) {
            if (id != CF_BITMAP && id != CF_ENHMETAFILE) info.size = GlobalSize(block);
        }
        if (info.name == L"HTML Format") html = ReadBytes(id);
        if (info.name == L"QQ_RichEdit_Format") richEdit = ReadBytes(id);
        content.formats.push_back(info);
    }
    CloseClipboard();
    if (std::string path = PicturePathFromHtml(html); !path.empty()) {
        content.picturePath = ToWide(path, CP_ACP);
        content.pictureSource = L"HTML Format";
    } else if (std::string path = PicturePathFromRichEditXml(richEdit); !path.empty()) {
        content.picturePath = ToWide(path, CP_ACP);
        content.pictureSource = L"QQ_RichEdit_Format";
    }
    return content;
}
