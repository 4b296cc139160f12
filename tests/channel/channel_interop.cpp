// The Windows channel against the real local content service over loopback: sealed
// requests open on the service, its sealed replies open here, and Chinese text arrives
// in code page 936.
#include <gtest/gtest.h>
#include <json/json.h>
#include <windows.h>

#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BuildConfig.h"
#include "net/Request.h"
#include "net/Text.h"

namespace {

std::string ContentUrl(const std::string& pathAndQuery) {
    return std::string("http://") + build_config::kContentHost + pathAndQuery;
}

const char kIdentity[] = "h=00000001000000AB000000AB000000FF&v=pcm&sdk=1.0.0.21&pv=WIN";

bool ParseJson(const std::string& text, Json::Value& root) {
    Json::Reader reader;
    return reader.parse(text, root, false) && root.isObject();
}

// "热门" and "开心" as code page 936 bytes.
const char kHotGbk[] = "\xC8\xC8\xC3\xC5";
const char kHappyGbk[] = "\xBF\xAA\xD0\xC4";

TEST(Interop, CategoryListArrivesInCodePage936) {
    ASSERT_EQ(GetACP(), 936u);
    std::string reply = SendRequest(ContentUrl(std::string("/allname?") + kIdentity).c_str(), "GET");
    ASSERT_FALSE(reply.empty());
    Json::Value root;
    ASSERT_TRUE(ParseJson(reply, root)) << reply.substr(0, 200);
    const Json::Value& data = root["data"];
    ASSERT_TRUE(data.isArray() && data.size() > 0);
    ASSERT_TRUE(data[0]["classifyName"].isString());
    EXPECT_EQ(data[0]["classifyName"].asString(), kHotGbk);
    const Json::Value& first = data[0]["subClassifyList"][0];
    ASSERT_TRUE(first["subClassifyName"].isString());
    EXPECT_EQ(first["subClassifyName"].asString(), kHappyGbk);
    EXPECT_EQ(ToWide(first["subClassifyName"].asString()), L"\u5F00\u5FC3");
    // No UTF-8 left: the bytes E7 83 AD ("热" in UTF-8) must not appear.
    EXPECT_EQ(reply.find("\xE7\x83\xAD"), std::string::npos);
}

TEST(Interop, QueryHalfIsOptional) {
    // Without a query (or with a bare "?") the body has no g field; the service still answers.
    for (const char* tail : {"", "?"}) {
        std::string reply = SendRequest(ContentUrl(std::string("/allname") + tail).c_str(), "GET");
        Json::Value root;
        EXPECT_TRUE(ParseJson(reply, root)) << tail;
        EXPECT_TRUE(root["data"].isArray()) << tail;
    }
}

TEST(Interop, CategoryPageAndChineseSearch) {
    std::string page = SendRequest(
        ContentUrl(std::string("/sublist?subid=101&page=2&dpi=240&") + kIdentity).c_str(), "GET");
    Json::Value root;
    ASSERT_TRUE(ParseJson(page, root));
    EXPECT_TRUE(root["data"]["totalCount"].isInt());
    EXPECT_GT(root["data"]["totalCount"].asInt(), 180);
    ASSERT_TRUE(root["data"]["picList"].isArray());
    EXPECT_GT(root["data"]["picList"].size(), 0u);

    // The keyword travels as percent-encoded UTF-8; the tags come back in code page 936.
    std::string key = UrlEncode("\xE5\xBC\x80\xE5\xBF\x83");  // "开心"
    EXPECT_EQ(key, "%E5%BC%80%E5%BF%83");
    std::string found = SendRequest(
        ContentUrl("/query?key=" + key + "&page=1&dpi=240&" + kIdentity).c_str(), "GET");
    ASSERT_TRUE(ParseJson(found, root));
    ASSERT_TRUE(root["data"].isArray());
    ASSERT_GT(root["data"].size(), 0u);
    ASSERT_TRUE(root["data"][0]["tags"].isString());
    EXPECT_NE(root["data"][0]["tags"].asString().find(kHappyGbk), std::string::npos);
}

TEST(Interop, PostDeliversThePingAndReturnsNothing) {
    const char* pings = std::getenv("ZINDLE_PINGS_FILE_WIN");
    ASSERT_NE(pings, nullptr) << "run under with-devserver";
    std::string url = std::string("http://") + build_config::kStatsHost +
                      "/pv.gif?type=interop&key=%E5%BC%80&h=1";
    EXPECT_EQ(SendRequest(url.c_str(), "POST"), "");

    std::ifstream in(pings, std::ios::binary);
    std::stringstream lines;
    lines << in.rdbuf();
    EXPECT_NE(lines.str().find(url + "\n"), std::string::npos) << lines.str();
}

TEST(Interop, SeveralWorkersAtOnce) {
    // Workers seal and open at the same time, each with its own keys and connection.
    const std::string url = ContentUrl(std::string("/allname?") + kIdentity);
    std::string expected = SendRequest(url.c_str(), "GET");
    ASSERT_FALSE(expected.empty());
    std::vector<std::string> replies(4);
    std::vector<std::thread> workers;
    for (auto& reply : replies) {
        workers.emplace_back([&url, &reply] {
            for (int i = 0; i < 3; i++) {
                std::string r = SendRequest(url.c_str(), "GET");
                if (i == 0 || r != reply) reply = r;
            }
        });
    }
    for (auto& w : workers) w.join();
    for (const auto& r : replies) EXPECT_EQ(r, expected);
}

std::vector<std::vector<std::string>> RequestLog() {
    std::vector<std::vector<std::string>> lines;
    const char* path = std::getenv("ZINDLE_REQUESTS_FILE_WIN");
    if (!path) return lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, '\t')) fields.push_back(field);
        lines.push_back(fields);
    }
    return lines;
}

// What the service saw of each tunnelled request: the method by request kind, "/q" over
// HTTP/1.1, the agent text, and no header beyond those the channel means to send. Two
// requests for the same URL both reach the service although its replies say they may be
// cached for an hour: the channel always bypasses the cache.
TEST(Interop, TheRequestOnTheWire) {
    ASSERT_NE(std::getenv("ZINDLE_REQUESTS_FILE_WIN"), nullptr) << "run under with-devserver";
    size_t before = RequestLog().size();
    const std::string content = ContentUrl(std::string("/allname?") + kIdentity);
    std::string first = SendRequest(content.c_str(), "GET");
    std::string second = SendRequest(content.c_str(), "GET");
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(second, first) << "the second reply did not open: an old one from a cache?";
    std::string ping = std::string("http://") + build_config::kStatsHost + "/pv.gif?type=wire";
    SendRequest(ping.c_str(), "POST");

    auto log = RequestLog();
    ASSERT_EQ(log.size(), before + 3) << "requests that never reached the service";
    const struct {
        const char* method;
        const char* innerPath;
    } expected[] = {{"GET", "/allname"}, {"GET", "/allname"}, {"POST", "/pv.gif"}};
    for (size_t i = 0; i < 3; i++) {
        const auto& f = log[before + i];
        ASSERT_EQ(f.size(), 6u) << i;
        EXPECT_EQ(f[0], expected[i].method) << i;
        EXPECT_EQ(f[1], "/q") << i;
        EXPECT_EQ(f[2], "HTTP/1.1") << i;
        EXPECT_EQ(f[3], "User-Agent") << i;
        std::vector<std::string> names;
        std::stringstream split(f[4]);
        std::string name;
        while (std::getline(split, name, ',')) names.push_back(name);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"Content-Length", "Host", "User-Agent"})) << f[4];
        EXPECT_EQ(f[5], expected[i].innerPath) << i;
    }
}

TEST(Interop, UnknownPathIsAnEmptyResult) {
    EXPECT_EQ(SendRequest(ContentUrl("/nothing-here?a=1").c_str(), "GET"), "");
}

}  // namespace
