// What a paste finds on the clipboard: the formats in the order they were put there and
// the picture file the rich formats name.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct ClipboardFormatInfo {
    UINT id = 0;
    std::wstring name;
    size_t size = 0;  // bytes in the clipboard's block
};

struct PastedContent {
    std::vector<ClipboardFormatInfo> formats;
    std::wstring picturePath;  // empty when neither rich format names a file
    std::wstring pictureSource;  // "HTML Format" or "QQ_RichEdit_Format"
};

// Reads the clipboard; an unopenable clipboard gives no formats.
PastedContent ReadPastedContent(HWND owner);

// The file named by an "HTML Format" text (its IMG element's file:/// source) or by a
// rich-edit XML text (its filepath attribute), both in the ANSI code page; empty if none.
std::string PicturePathFromHtml(const std::string& html);
std::string PicturePathFromRichEditXml(const std::string& xml);
