// Writes a picture file's path to the clipboard in the formats chat windows paste from:
// the rich-edit XML "QQ_RichEdit_Format", "HTML Format" with an IMG element, and an
// empty Unicode text (so plain-text targets paste nothing rather than the path).
#pragma once
#include <windows.h>
#include <string>

enum ClipboardFormatBits : UINT {
    kClipRichEditXml = 1,
    kClipHtml = 2,
    kClipEmptyUnicodeText = 4,
    kClipAllFormats = 7,
};

struct ClipboardPicture {
    HWND owner = nullptr;  // passed to OpenClipboard
    UINT formats = 0;      // ClipboardFormatBits
};

// Empties the clipboard and writes the chosen formats, in the order empty Unicode text,
// rich-edit XML, HTML. A null path writes only the text. Failures lose only the format
// concerned; failing to open the clipboard writes nothing. True only when the clipboard
// opened and every chosen format was written.
bool PutPictureOnClipboard(const ClipboardPicture& record, const wchar_t* path);

// The byte texts of the two picture formats for a path in the ANSI code page.
std::string RichEditXmlFor(const std::string& ansiPath);
std::string HtmlFormatFor(const std::string& ansiPath);
