// Merging the recent list and reading and writing its file. Records hold text in the
// ANSI code page as the server's replies arrive; the file holds UTF-8, so the text is
// converted on the way out and back, and non-ASCII ids survive a save and a load.
#include "ui/RecentFile.h"

#include <json/json.h>
#include <shlwapi.h>

#include <set>

#include "delivery/Files.h"
#include "net/Text.h"
#include "ui/RecentFileJson.h"

namespace {

void AppendUnseen(const RecentPicture& pick, std::set<std::string>* seen, std::vector<RecentPicture>* out,
                  size_t limit) {
    if (out->size() >= limit) return;
    if (seen->insert(pick.imageId).second) out->push_back(pick);
}

// ANSI text into the UTF-8 the file holds; a text that does not convert stays as it is.
std::string ToFileText(const std::string& ansi) {
    if (ansi.empty()) return ansi;
    std::string utf8 = AnsiToUtf8(ansi);
    return utf8.empty() ? ansi : utf8;
}

// The file's UTF-8 back into ANSI. A text that is not UTF-8 (bytes in the ANSI code page,
// as an older file may hold) stays as it is rather than becoming replacement characters.
std::string FromFileText(const std::string& utf8) {
    if (utf8.empty()) return utf8;
    std::string ansi = Utf8ToAnsiStrict(utf8);
    return ansi.empty() ? utf8 : ansi;
}

}  // namespace

std::vector<RecentPicture> MergeRecentPictures(const std::vector<RecentPicture>& sessionPicks,
                                               const std::vector<RecentPicture>& recent, int limit) {
    std::vector<RecentPicture> merged;
    std::set<std::string> seen;
    size_t max = limit > 0 ? static_cast<size_t>(limit) : 0;
    for (auto it = sessionPicks.rbegin(); it != sessionPicks.rend(); ++it) AppendUnseen(*it, &seen, &merged, max);
    for (const RecentPicture& pick : recent) AppendUnseen(pick, &seen, &merged, max);
    return merged;
}

std::string RecentFileText(const std::vector<RecentPicture>& recent, int gifAutoPlay) {
    Json::Value root(Json::objectValue);
    Json::Value& data = root["data"] = Json::Value(Json::arrayValue);
    for (size_t i = 0; i < recent.size() && i < static_cast<size_t>(kBatchSize); i++) {
        Json::Value entry(Json::objectValue);
        entry["imageId"] = ToFileText(recent[i].imageId);
        entry["imageUrl"] = ToFileText(recent[i].imageUrl);
        data.append(entry);
    }
    root["gif_auto_play"] = gifAutoPlay;
    return Json::StyledWriter().write(root);
}

void ParseRecentFileText(const std::string& text, std::vector<RecentPicture>* recent, int* gifAutoPlay) {
    std::vector<RecentPicture> stored;
    ReadRecentFileJson(text, &stored, gifAutoPlay);
    for (const RecentPicture& entry : stored) {
        recent->push_back({FromFileText(entry.imageId), FromFileText(entry.imageUrl)});
    }
}

void LoadRecentFile(const std::wstring& path, std::vector<RecentPicture>* recent, int* gifAutoPlay) {
    if (!PathFileExistsW(path.c_str())) return;
    std::string text = ReadWholeFile(path);
    if (text.empty()) return;
    ParseRecentFileText(text, recent, gifAutoPlay);
}

bool SaveRecentFile(const std::wstring& path, const std::vector<RecentPicture>& recent, int gifAutoPlay) {
    return ReplaceWholeFile(path, RecentFileText(recent, gifAutoPlay));
}
