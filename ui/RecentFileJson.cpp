// Reading the recent-list file's JSON.
#include "ui/RecentFileJson.h"

#include "net/ServerJson.h"

void ReadRecentFileJson(const std::string& text, std::vector<RecentPicture>* recent, int* gifAutoPlay) {
    Json::Value root;
    if (!ParseServerJson(text, &root)) return;
    ReadInt(MemberOf(root, "gif_auto_play"), gifAutoPlay);
    const Json::Value& data = MemberOf(root, "data");
    if (!data.isArray()) return;
    for (const Json::Value& entry : data) {
        recent->push_back({ValueToText(MemberOf(entry, "imageId")), ValueToText(MemberOf(entry, "imageUrl"))});
    }
}
