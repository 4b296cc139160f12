// Reading the advertisement configuration and its resource list.
#include "advert/AdvertConfig.h"

#include <algorithm>

#include "net/ServerJson.h"
#include "net/Text.h"

namespace {

// "visible" and "openMode" are integers; a boolean counts as 0 or 1. Anything else (a
// text, a real, a container) is absent and reads as fallback.
int FlagValue(const Json::Value& value, int fallback) {
    if (value.isBool()) return value.asBool() ? 1 : 0;
    int number = fallback;
    return ReadInt(value, &number) ? number : fallback;
}

std::string TextMember(const Json::Value& obj, const char* key) {
    const Json::Value& value = MemberOf(obj, key);
    return value.isString() ? value.asString() : std::string();
}

void ReadItem(const Json::Value& item, AdvertConfig* config) {
    config->openInBrowser = FlagValue(MemberOf(item, "openMode"), 0) != 0;
    config->url = TextMember(item, "url");
    config->name = ToWide(TextMember(item, "name"), CP_ACP);
    if (config->openInBrowser) return;
    config->resources = TextMember(item, "resources");
    // The reply reached us in the ANSI code page already; reading the layout as UTF-8
    // again would spoil every Chinese text in it.
    config->xml = ToWide(TextMember(item, "xml"), CP_ACP);
}

}  // namespace

bool ParseAdvertConfig(const std::string& reply, AdvertConfig* config) {
    Json::Value root;
    if (reply.empty()) return false;
    ParseServerJson(reply, &root);
    const Json::Value& data = MemberOf(root, "data");
    if (!data.isObject()) return false;
    const Json::Value& list = MemberOf(data, "advList");
    if (!(list.isArray() || list.isObject()) || list.empty()) return false;
    config->mode = TextMember(data, "mode");
    for (const Json::Value& item : list) {
        if (FlagValue(MemberOf(item, "visible"), 0) == 0) continue;
        ReadItem(item, config);
        break;
    }
    return true;
}

std::vector<AdvertResource> ParseAdvertResources(const std::string& text) {
    std::vector<AdvertResource> resources;
    Json::Value root;
    if (text.empty() || !ParseServerJson(text, &root) || !(root.isArray() || root.isObject())) return resources;
    for (const Json::Value& entry : root) resources.push_back({TextMember(entry, "url"), TextMember(entry, "name")});
    return resources;
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
