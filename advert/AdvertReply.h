// The advertisement configuration and its resource list as the content service's reply
// text holds them, read without any conversion: texts stay bytes in the ANSI code page.
// AdvertConfig turns them into what the link and the window show.
#pragma once
#include <string>
#include <vector>

struct AdvertReply {
    std::string mode;            // "data"."mode": the server's default GIF mode
    bool hasItem = false;        // an item of "advList" is visible; the fields below are its
    bool openInBrowser = false;  // "openMode" not 0
    std::string url;
    std::string name;            // the link text
    std::string resources;       // JSON text: [{"url", "name"}...]; only when !openInBrowser
    std::string xml;             // the window's layout; only when !openInBrowser
};

// False when the reply holds no advertisement: not JSON, no "data" object, no "advList"
// with elements. An "advList" whose items are all hidden gives true without an item.
// "visible" and "openMode" are integers or booleans; a text member of another type is "".
bool ReadAdvertReply(const std::string& reply, AdvertReply* advert);

struct AdvertResource {
    std::string url;   // ANSI code page
    std::string name;  // the file's name in the temporary folder, as sent
};
// The entries of a "resources" text in order; an empty or unparsable text gives none,
// and an entry whose members are not texts gives empty ones.
std::vector<AdvertResource> ParseAdvertResources(const std::string& text);
