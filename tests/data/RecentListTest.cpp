// Picture records from server JSON, and the recent list: merging, its file, and what a
// damaged file or a hostile picture id leads to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "delivery/Files.h"
#include "net/ServerJson.h"
#include "ui/PictureLists.h"
#include "ui/RecentFile.h"
#include "tests/data/TestFolders.h"

namespace {

Json::Value Parsed(const std::string& text) {
    Json::Value root;
    EXPECT_TRUE(ParseServerJson(text, &root)) << text;
    return root;
}

std::vector<std::string> Ids(const std::vector<RecentPicture>& list) {
    std::vector<std::string> ids;
    for (const RecentPicture& r : list) ids.push_back(r.imageId);
    return ids;
}

std::string RecentFileWith(int entries) {
    std::string text = "{\"gif_auto_play\": 0, \"data\": [";
    for (int i = 0; i < entries; i++) {
        text += (i ? "," : "") + std::string("{\"imageId\": \"id") + std::to_string(i) + "\", \"imageUrl\": \"http://p/" +
                std::to_string(i) + "\"}";
    }
    return text + "]}";
}

}  // namespace

TEST(PictureRecords, ValueToTextKeepsIntegersAndStringsOnly) {
    Json::Value v = Parsed(R"({"int": 240, "neg": -5, "real": 0.9, "whole real": 3.0, "text": "abc", "bool": true,
        "null": null, "big": 4294967296, "huge": 18446744073709551615, "array": [1], "object": {"a": 1}})");
    struct Case {
        const char* key;
        const char* text;
    } cases[] = {
        {"int", "240"}, {"neg", "-5"},  {"real", ""},  {"whole real", ""}, {"text", "abc"}, {"bool", ""},
        {"null", ""},   {"big", ""},    {"huge", ""},  {"array", ""},      {"object", ""},  {"absent", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, ValueToText(MemberOf(v, c.key))) << c.key;
}

TEST(PictureRecords, MistypedMembersReadAsAbsentAndNeverThrow) {
    CategoryPicture p = CategoryPictureFromJson(Parsed(
        R"({"imageHeight": 240, "imageSource": "2", "isSet": false, "imageUrl": ["x"], "tags": {"a": 1},
            "sourceDomain": null, "imageId": 77, "score": 0.9})"));
    EXPECT_EQ("240", p.imageHeight);
    EXPECT_EQ("2", p.imageSource);
    EXPECT_EQ("", p.isSet);
    EXPECT_EQ("", p.imageUrl);
    EXPECT_EQ("", p.tags);
    EXPECT_EQ("77", p.imageId);
    EXPECT_EQ("", p.score);
    // Not an object at all: every field empty.
    for (const char* text : {"[1, 2]", "\"text\"", "5", "null"}) {
        SearchPicture s = SearchPictureFromJson(Parsed(text));
        EXPECT_EQ("", s.imageId + s.yuntuUrl + s.imageHeight) << text;
        EXPECT_EQ(0, IntMember(Parsed(text), "totalCount", 0));
    }
}

// The record keeps the id as the server sent it; only that picture's cache path is refused.
TEST(PictureRecords, HostileImageIdGetsNoCachePath) {
    Json::Value list = Parsed(R"([{"imageId": "good1"}, {"imageId": "..\\..\\evil"}, {"imageId": "C:\\x"},
        {"imageId": "a:stream"}, {"imageId": "good2"}])");
    std::vector<std::wstring> paths;
    for (const Json::Value& item : list) paths.push_back(TempFolderPath(CategoryPictureFromJson(item).imageId));
    EXPECT_EQ("..\\..\\evil", CategoryPictureFromJson(list[1]).imageId);
    EXPECT_EQ(TempFolderPath("") + L"good1", paths[0]);
    EXPECT_EQ(L"", paths[1]);
    EXPECT_EQ(L"", paths[2]);
    EXPECT_EQ(L"", paths[3]);
    EXPECT_EQ(TempFolderPath("") + L"good2", paths[4]);
}

TEST(RecentList, MergePutsNewestFirstOnceEach) {
    PictureLists lists;
    lists.recentPictures = {{"A", "ua"}, {"B", "ub"}, {"C", "uc"}};
    lists.AddSessionPick("B", "ub2");
    lists.AddSessionPick("D", "ud");
    lists.AddSessionPick("B", "ub3");  // sent again: moves to the front once
    lists.MergeRecent();
    EXPECT_EQ((std::vector<std::string>{"B", "D", "A", "C"}), Ids(lists.recentPictures));
    EXPECT_EQ("ub3", lists.recentPictures[0].imageUrl);
    EXPECT_TRUE(lists.sessionPicks.empty());
}

TEST(RecentList, FileOf200LoadsAllAndMergesTo180) {
    ScratchFolder scratch(L"zindle-recent");
    PictureLists lists;
    lists.recentFilePath = scratch.File(L"common");
    ASSERT_TRUE(WriteWholeFile(lists.recentFilePath, RecentFileWith(200).c_str(), 0));
    lists.LoadRecent();
    EXPECT_EQ(200u, lists.recentPictures.size());
    EXPECT_EQ(0, lists.gifAutoPlay);
    lists.MergeRecent();
    ASSERT_EQ(180u, lists.recentPictures.size());
    EXPECT_EQ("id0", lists.recentPictures.front().imageId);
    EXPECT_EQ("id179", lists.recentPictures.back().imageId);
}

TEST(RecentList, SaveAndLoadKeepEntriesAndGifChoice) {
    ScratchFolder scratch(L"zindle-recent");
    PictureLists saved;
    saved.recentFilePath = scratch.File(L"common");
    saved.gifAutoPlay = 1;
    saved.recentPictures = {{"old", "http://p/old"}};
    saved.AddSessionPick("\xB1\xED\xC7\xE9", "http://p/\xB1\xED");  // a name in code page 936
    saved.AddSessionPick("plain", "http://p/plain");
    ASSERT_TRUE(saved.SaveRecent());
    EXPECT_EQ(3u, saved.recentPictures.size());
    // The file is UTF-8 JSON that anything can read.
    std::string text = FileBytes(saved.recentFilePath);
    EXPECT_NE(std::string::npos, text.find("\"gif_auto_play\" : 1")) << text;

    PictureLists loaded;
    loaded.recentFilePath = saved.recentFilePath;
    loaded.LoadRecent();
    EXPECT_EQ(1, loaded.gifAutoPlay);
    EXPECT_EQ((std::vector<std::string>{"plain", "\xB1\xED\xC7\xE9", "old"}), Ids(loaded.recentPictures));
    EXPECT_EQ("http://p/\xB1\xED", loaded.recentPictures[1].imageUrl);
}

TEST(RecentList, DamagedFileGivesAnEmptyList) {
    ScratchFolder scratch(L"zindle-recent");
    std::string deep(5000, '[');
    const std::string damaged[] = {
        "", "not json", "{\"data\": 5, \"gif_auto_play\": \"1\"}", "[1, 2]", "{\"data\": [", deep,
        "{\"data\": {\"imageId\": \"x\"}, \"gif_auto_play\": 1.0}",
    };
    for (const std::string& text : damaged) {
        PictureLists lists;
        lists.recentFilePath = scratch.File(L"common");
        WriteWholeFile(lists.recentFilePath, text.data(), static_cast<int>(text.size()));
        if (text.empty()) WriteWholeFile(lists.recentFilePath, "\0", 1);
        lists.recentPictures = {{"stale", ""}};
        lists.LoadRecent();
        EXPECT_TRUE(lists.recentPictures.empty()) << text.substr(0, 40);
        EXPECT_EQ(-1, lists.gifAutoPlay) << text.substr(0, 40);
    }
    // Entries with mistyped members still count, with empty texts.
    PictureLists lists;
    lists.recentFilePath = scratch.File(L"common");
    const char odd[] = R"({"data": [{"imageId": 5, "imageUrl": null}, 7, {"imageId": "x", "imageUrl": "u"}]})";
    WriteWholeFile(lists.recentFilePath, odd, 0);
    lists.LoadRecent();
    EXPECT_EQ((std::vector<std::string>{"5", "", "x"}), Ids(lists.recentPictures));
    // No file at all.
    lists.recentFilePath = scratch.File(L"none");
    lists.LoadRecent();
    EXPECT_TRUE(lists.recentPictures.empty());
}

// A file whose texts are not UTF-8 (bytes in code page 936, as an older file may hold)
// keeps them as they are; UTF-8 texts beside them come back in the ANSI code page.
TEST(RecentList, TextsThatAreNotUtf8SurviveALoad) {
    const struct {
        const char* stored;  // the bytes inside the file's JSON string
        const char* loaded;  // the record's text
    } cases[] = {
        {"\xB1\xED\xC7\xE9", "\xB1\xED\xC7\xE9"},            // "表情" in code page 936
        {"http://p/\xB1\xED.gif", "http://p/\xB1\xED.gif"},
        {"\xD6\xD0", "\xD6\xD0"},                            // "中" in 936: a lead byte then a continuation
        {"ok\xE4\xB8", "ok\xE4\xB8"},                        // a UTF-8 sequence cut short
        {"\xC0\xAF", "\xC0\xAF"},                            // an overlong "/"
        {"\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},    // "中文" in UTF-8
        {"plain-id", "plain-id"},
    };
    ScratchFolder scratch(L"zindle-recent");
    std::string text = "{\"gif_auto_play\": 1, \"data\": [";
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); i++) {
        text += (i ? ", " : "") + std::string("{\"imageId\": \"") + cases[i].stored + "\", \"imageUrl\": \"u/" +
                cases[i].stored + "\"}";
    }
    text += "]}";
    PictureLists lists;
    lists.recentFilePath = scratch.File(L"common");
    ASSERT_TRUE(WriteWholeFile(lists.recentFilePath, text.data(), static_cast<int>(text.size())));
    lists.LoadRecent();
    ASSERT_EQ(lists.recentPictures.size(), sizeof(cases) / sizeof(cases[0]));
    EXPECT_EQ(1, lists.gifAutoPlay);
    for (size_t i = 0; i < lists.recentPictures.size(); i++) {
        EXPECT_EQ(lists.recentPictures[i].imageId, cases[i].loaded) << i;
        EXPECT_EQ(lists.recentPictures[i].imageUrl, std::string("u/") + cases[i].loaded) << i;
    }
    // Saved again, the kept bytes read back the same.
    ASSERT_TRUE(lists.SaveRecent());
    PictureLists again;
    again.recentFilePath = lists.recentFilePath;
    again.LoadRecent();
    EXPECT_EQ(Ids(again.recentPictures), Ids(lists.recentPictures));
}
