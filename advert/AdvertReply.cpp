// Reading the advertisement configuration and its resource list from the reply's text.
#include "advert/AdvertReply.h"

#include "net/ServerJson.h"

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

void ReadItem(const Json::Value& item, AdvertReply* advert) {
    advert->hasItem = true;
    advert->openInBrowser = FlagValue(MemberOf(item, "openMode"), 0) != 0;
    advert->url = TextMember(item, "url");
    advert->name = TextMember(item, "name");
    if (advert->openInBrowser) return;
    advert->resources = TextMember(item, "resources");
    advert->xml = TextMember(item, "xml");
}

}  // namespace

bool ReadAdvertReply(const std::string& reply, AdvertReply* advert) {
    Json::Value root;
    if (reply.empty()) return false;
    ParseServerJson(reply, &root);
    const Json::Value& data = MemberOf(root, "data");
    if (!data.isObject()) return false;
    const Json::Value& list = MemberOf(data, "advList");
    if (!(list.isArray() || list.isObject()) || list.empty()) return false;
    AdvertReply read;
    read.mode = TextMember(data, "mode");
    for (const Json::Value& item : list) {
        if (FlagValue(MemberOf(item, "visible"), 0) == 0) continue;
        ReadItem(item, &read);
        break;
    }
    *advert = std::move(read);
    return true;
}

std::vector<AdvertResource> ParseAdvertResources(const std::string& text) {
    std::vector<AdvertResource> resources;
    Json::Value root;
    if (text.empty() || !ParseServerJson(text, &root) || !(root.isArray() || root.isObject())) return resources;
    for (const Json::Value& entry : root) resources.push_back({TextMember(entry, "url"), TextMember(entry, "name")});
    return resources;
}
