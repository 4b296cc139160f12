// Reading the advertisement configuration: which item is the advertisement, what a click
// does, the resource list, the layout's temporary folder, and replies of odd shapes.
#include <gtest/gtest.h>

#include "advert/AdvertConfig.h"
#include "net/Text.h"

namespace {

std::string Ansi(const wchar_t* text) { return FromWide(text, CP_ACP); }

TEST(AdvertConfig, TheFirstVisibleItemIsTheAdvertisement) {
    const struct {
        const char* list;
        const char* url;  // of the item taken, "" for none
    } cases[] = {
        {R"([{"visible": 0, "url": "a"}, {"visible": 1, "url": "b"}, {"visible": 1, "url": "c"}])", "b"},
        {R"([{"visible": true, "url": "a"}])", "a"},
        {R"([{"visible": false, "url": "a"}, {"visible": 2, "url": "b"}])", "b"},
        {R"([{"url": "a"}, {"visible": -1, "url": "b"}])", "b"},
        // A visibility of another type is no visibility.
        {R"([{"visible": "1", "url": "a"}, {"visible": 1.5, "url": "b"}, {"visible": [1], "url": "c"}])", ""},
        {R"([{"visible": 0, "url": "a"}])", ""},
        {R"([7, "x", null, {"visible": 1, "url": "d"}])", "d"},
    };
    for (const auto& c : cases) {
        AdvertConfig config;
        std::string reply = std::string(R"({"data": {"mode": "static", "advList": )") + c.list + "}}";
        ASSERT_TRUE(ParseAdvertConfig(reply, &config)) << c.list;
        EXPECT_EQ(config.url, c.url) << c.list;
        EXPECT_EQ(config.mode, "static") << c.list;
    }
}

TEST(AdvertConfig, RepliesWithoutAnAdvertisement) {
    const char* replies[] = {
        "", "not json", "[]", "{}", R"({"data": null})", R"({"data": "x"})", R"({"data": {}})",
        R"({"data": {"advList": []}})", R"({"data": {"advList": {}}})", R"({"data": {"advList": 3}})",
        R"({"data": {"advList": "[{\"visible\": 1}]"}})",
    };
    for (const char* reply : replies) {
        AdvertConfig config;
        EXPECT_FALSE(ParseAdvertConfig(reply, &config)) << reply;
    }
}

TEST(AdvertConfig, LinkOrWindow) {
    std::string link = Ansi(LR"({"data": {"advList": [{"visible": 1, "openMode": 1, "url": "http://x/page",)"
                            LR"( "name": "免费领皮肤", "resources": "[{\"url\": \"u\", \"name\": \"n\"}]", "xml": "<Window/>"}]}})");
    AdvertConfig config;
    ASSERT_TRUE(ParseAdvertConfig(link, &config));
    EXPECT_TRUE(config.openInBrowser);
    EXPECT_EQ(config.name, L"免费领皮肤");
    EXPECT_EQ(config.url, "http://x/page");
    // A link needs no files and no layout: they are not read.
    EXPECT_TRUE(config.resources.empty());
    EXPECT_TRUE(config.xml.empty());
    EXPECT_EQ(config.mode, "");

    // The layout keeps its Chinese text: the reply is in the ANSI code page already.
    std::string window = Ansi(LR"({"data": {"mode": 5, "advList": [{"visible": 1, "openMode": 0, "name": 12,)"
                              LR"( "resources": "[]", "xml": "<Label text=\"表情大赛\"/>"}]}})");
    AdvertConfig other;
    ASSERT_TRUE(ParseAdvertConfig(window, &other));
    EXPECT_FALSE(other.openInBrowser);
    EXPECT_EQ(other.xml, L"<Label text=\"表情大赛\"/>");
    EXPECT_EQ(other.resources, "[]");
    EXPECT_EQ(other.name, L"");  // a number is no text
    EXPECT_EQ(other.mode, "");
}

TEST(AdvertConfig, ResourceLists) {
    const struct {
        const char* text;
        size_t count;
    } cases[] = {
        {"", 0}, {"not json", 0}, {"{}", 0}, {"[]", 0}, {"7", 0},
        {R"([{"url": "http://a/1", "name": "one.png"}, {"url": "http://a/2", "name": "two.png"}])", 2},
        {R"([{"url": 5, "name": ["x"]}])", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseAdvertResources(c.text).size(), c.count) << c.text;
    auto two = ParseAdvertResources(R"([{"url": "http://a/1", "name": "one.png"}, {"url": 5, "name": "two.png"}])");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].url, "http://a/1");
    EXPECT_EQ(two[0].name, "one.png");
    EXPECT_EQ(two[1].url, "");
}

TEST(AdvertConfig, TheLayoutFindsItsFilesInTheTemporaryFolder) {
    const std::wstring folder = L"C:\\Temp\\Zindle\\";
    const struct {
        const wchar_t* xml;
        const wchar_t* expected;
    } cases[] = {
        {L"%temp%\\banner.png", L"C:\\Temp\\Zindle\\banner.png"},
        {L"<Control bkimage=\"%temp%\\a.png\"/><Control bkimage=\"%temp%\\b.png\"/>",
         L"<Control bkimage=\"C:\\Temp\\Zindle\\a.png\"/><Control bkimage=\"%temp%\\b.png\"/>"},
        {L"no files", L"no files"},
        {L"%temp%", L"C:\\Temp\\Zindle\\"},  // nothing after the mark
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(LayoutWithTempFolder(c.xml, folder), c.expected) << c.xml;
}

}  // namespace
