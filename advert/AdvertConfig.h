// The advertisement configuration the content service answers to "pc/adv": which item
// to show, its link text, what a click does, the files its window needs, and the server's
// default GIF mode. Reading it trusts nothing: a member of an unexpected type is absent.
#pragma once
#include <string>
#include <vector>

#include "advert/AdvertReply.h"

struct AdvertConfig {
    std::string mode;             // the server's default GIF mode ("static" or another text)
    bool openInBrowser = false;   // a click opens url; otherwise the advertisement window
    std::string url;              // ANSI code page
    std::wstring name;            // the link text
    std::string resources;        // JSON text: [{"url", "name"}...]; only when !openInBrowser
    std::wstring xml;             // the window's layout as sent; only when !openInBrowser
};

// reply: the configuration in the ANSI code page. False when it holds no advertisement:
// not JSON, no "data" object, no "advList" with elements. An "advList" whose items are
// all hidden is an advertisement with an empty text (true, defaults kept). What
// ReadAdvertReply reads, with the link text and the layout converted to UTF-16.
bool ParseAdvertConfig(const std::string& reply, AdvertConfig* config);

// The layout with the first "%temp%" and the one character after it (the separator)
// replaced by the temporary folder, which ends with a backslash; later ones stay.
std::wstring LayoutWithTempFolder(const std::wstring& xml, const std::wstring& tempFolder);
