// The advertisement configuration as the link and the window use it, and the layout's
// temporary folder.
#include "advert/AdvertConfig.h"

#include <algorithm>

#include "net/Text.h"

bool ParseAdvertConfig(const std::string& reply, AdvertConfig* config) {
    AdvertReply advert;
    if (!ReadAdvertReply(reply, &advert)) return false;
    config->mode = advert.mode;
    if (!advert.hasItem) return true;
    config->openInBrowser = advert.openInBrowser;
    config->url = advert.url;
    config->name = ToWide(advert.name, CP_ACP);
    if (config->openInBrowser) return true;
    config->resources = advert.resources;
    // The reply reached us in the ANSI code page already; reading the layout as UTF-8
    // again would spoil every Chinese text in it.
    config->xml = ToWide(advert.xml, CP_ACP);
    return true;
}

std::wstring LayoutWithTempFolder(const std::wstring& xml, const std::wstring& tempFolder) {
    static const std::wstring kMark = L"%temp%";
    size_t at = xml.find(kMark);
    if (at == std::wstring::npos) return xml;
    std::wstring result = xml;
    size_t length = std::min(kMark.size() + 1, result.size() - at);
    result.replace(at, length, tempFolder);
    return result;
}
