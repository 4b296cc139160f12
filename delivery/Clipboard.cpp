// The clipboard formats of a picture: empty Unicode text, the rich-edit XML that names the
// file, and "HTML Format" with an IMG element. Both byte formats carry the path in the
// ANSI code page, and every length and offset counts its bytes.
#include "delivery/Clipboard.h"
#include "base/WinHandle.h"
#include "net/Text.h"
#include <cstdio>
#include <cstring>

namespace {
const char kRichEditHead[] =
    "<QQRichEditFormat><Info version=\"1001\"></Info><EditElement type=\"1\" filepath=\"";
const char kRichEditTail[] = "\" shortcut=\"\"></EditElement></QQRichEditFormat>";

// The clipboard's HTML header, version 0.9; each 8-byte placeholder gets an offset.
const char kHtmlHeader[] =
    "Version:0.9\r\nStartHTML:000000sh\r\nEndHTML:000000eh\r\n"
    "StartFragment:000000sf\r\nEndFragment:000000ef\r\n<!doctype html>";
const char kHtmlBodyHead[] = "<html><body><!--StartFragment --><IMG src=\"file:///";
const char kHtmlBodyTail[] = "\" ><!--EndFragment--></body></html>";
const char kStartMarker[] = "<!--StartFragment -->";
const char kEndMarker[] = "<!--EndFragment-->";

void FillPlaceholder(std::string& header, const char* placeholder, size_t value) {
    size_t at = header.find(placeholder);
    if (at == std::string::npos) return;
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%08d", static_cast<int>(value));
    header.replace(at, 8, digits, 8);
}

// Copies size bytes into a movable block and hands it to the clipboard, which owns it
// from then on; on any failure the block is freed and only this format is lost.
bool PutBlock(UINT format, const void* bytes, size_t size) {
    GlobalMemoryHandle block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block) return false;
    void* dest = GlobalLock(block.Get());
    if (!dest) return false;
    std::memcpy(dest, bytes, size);
    GlobalUnlock(block.Get());
    if (!SetClipboardData(format, block.Get())) return false;
    block.Release();
    return true;
}

// A byte text is stored with its terminating zero.
bool PutText(UINT format, const std::string& text) {
    if (format == 0) return false;
    return PutBlock(format, text.c_str(), text.size() + 1);
}
}  // namespace

std::string RichEditXmlFor(const std::string& ansiPath) {
    return kRichEditHead + ansiPath + kRichEditTail;
}

std::string HtmlFormatFor(const std::string& ansiPath) {
    std::string header = kHtmlHeader;
    std::string body = kHtmlBodyHead + ansiPath + kHtmlBodyTail;
    size_t h = header.size();
    FillPlaceholder(header, "000000sh", h);
    FillPlaceholder(header, "000000eh", h + body.size());
    FillPlaceholder(header, "000000sf", h + body.find(kStartMarker));
    FillPlaceholder(header, "000000ef", h + body.find(kEndMarker));
    return header + body;
}

bool PutPictureOnClipboard(const ClipboardPicture& record, const wchar_t* path) {
    if (!OpenClipboard(record.owner)) return false;
    bool complete = EmptyClipboard() != FALSE;
    if (record.formats & kClipEmptyUnicodeText) {
        const wchar_t empty = L'\0';
        complete = PutBlock(CF_UNICODETEXT, &empty, sizeof(empty)) && complete;
    }
    if (path) {
        std::string ansiPath = FromWide(path, CP_ACP);
        if (record.formats & kClipRichEditXml) {
            complete = PutText(RegisterClipboardFormatW(L"QQ_RichEdit_Format"), RichEditXmlFor(ansiPath)) && complete;
        }
        if (record.formats & kClipHtml) {
            complete = PutText(RegisterClipboardFormatW(L"HTML Format"), HtmlFormatFor(ansiPath)) && complete;
        }
    }
    CloseClipboard();
    return complete;
}
