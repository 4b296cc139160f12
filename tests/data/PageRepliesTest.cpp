// Category and search pages read from reply texts of every shape: what the fetch loops
// get to decide on (failure, the total, the promise of more) and the records in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/PageReplies.h"

namespace {

TEST(PageReplies, CategoryPages) {
    const struct {
        std::string reply;
        bool ok;
        int total;
        std::vector<std::string> ids;
    } cases[] = {
        {R"({"status": 0, "data": {"totalCount": 200, "picList": [{"imageId": "a"}, {"imageId": "b"}]}})", true, 200,
         {"a", "b"}},
        {R"({"data": {"totalCount": 3, "picList": {"x": {"imageId": "o1"}, "y": {"imageId": 7}}}})", true, 3,
         {"o1", "7"}},
        {R"({"data": {"picList": [{"imageId": "a"}]}})", true, 0, {"a"}},  // no total: 0
        {R"({"data": {"totalCount": "200", "picList": []}})", true, 0, {}},  // a text is no total
        {R"({"data": {"totalCount": 2.5, "picList": 5}})", true, 0, {}},
        {R"({"data": {"totalCount": 4294967296}})", true, 0, {}},  // beyond int
        {R"({"data": {"totalCount": -4, "picList": [1, null, "x"]}})", true, -4, {"", "", ""}},
        {R"({"data": {}})", true, 0, {}},
        {"", false, 0, {}},
        {"not json", false, 0, {}},
        {R"({"data": [{"imageId": "a"}]})", false, 0, {}},  // a search page's shape
        {R"({"data": null})", false, 0, {}},
        {R"({"data": "text"})", false, 0, {}},
        {R"([{"data": {}}])", false, 0, {}},
        {R"({"data": {"totalCount": 5, "picList": [)", false, 0, {}},  // cut short
        {std::string(5000, '[') + std::string(5000, ']'), false, 0, {}},  // nested beyond the reader's limit
    };
    for (const auto& c : cases) {
        CategoryPageReply page = ReadCategoryPage(c.reply);
        std::vector<std::string> ids;
        for (const CategoryPicture& p : page.pictures) ids.push_back(p.imageId);
        EXPECT_EQ(page.ok, c.ok) << c.reply.substr(0, 80);
        EXPECT_EQ(page.totalCount, c.total) << c.reply.substr(0, 80);
        EXPECT_EQ(ids, c.ids) << c.reply.substr(0, 80);
    }
}

TEST(PageReplies, CategoryPictureFieldsComeThrough) {
    CategoryPageReply page = ReadCategoryPage(
        R"({"data": {"totalCount": 1, "picList": [{"imageHeight": 96, "imageSource": "1", "isSet": 0,)"
        R"( "imageUrl": "http://p/a.gif", "tags": "t", "sourceDomain": "d", "imageId": "a.gif", "score": 9}]}})");
    ASSERT_EQ(page.pictures.size(), 1u);
    const CategoryPicture& p = page.pictures[0];
    EXPECT_EQ(p.imageHeight + "|" + p.imageSource + "|" + p.isSet + "|" + p.imageUrl + "|" + p.tags + "|" +
                  p.sourceDomain + "|" + p.imageId + "|" + p.score,
              "96|1|0|http://p/a.gif|t|d|a.gif|9");
}

TEST(PageReplies, SearchPages) {
    const struct {
        std::string reply;
        bool ok;
        bool more;
        int aimedLocal, aimedMicrosoft;
        std::vector<std::string> urls;
    } cases[] = {
        {R"({"data": [{"yuntuUrl": "u1"}, {"yuntuUrl": "u2"}], "aimedLocal": 1, "aimedMicrosoft": 0, "endFlag": 0})",
         true, true, 1, 0, {"u1", "u2"}},
        {R"({"data": [{"yuntuUrl": "u1", "imageUrl": "not this"}], "endFlag": 1, "aimedMicrosoft": 1})", true, false,
         0, 1, {"u1"}},
        {R"({"data": [], "endFlag": 0})", true, true, 0, 0, {}},
        // Only an integer 0 promises more.
        {R"({"data": [], "endFlag": "0"})", true, false, 0, 0, {}},
        {R"({"data": [], "endFlag": false})", true, false, 0, 0, {}},
        {R"({"data": [], "endFlag": 0.0})", true, false, 0, 0, {}},
        {R"({"data": []})", true, false, 0, 0, {}},
        {R"({"data": [7, [], {"yuntuUrl": 5}], "aimedLocal": "1", "endFlag": 0})", true, true, 0, 0, {"", "", "5"}},
        {R"({"data": {"a": {"yuntuUrl": "u"}}, "endFlag": 0})", false, false, 0, 0, {}},  // an object is no page
        {R"({"data": null, "endFlag": 0})", false, false, 0, 0, {}},
        {"", false, false, 0, 0, {}},
        {"[]", false, false, 0, 0, {}},
        {R"({"data": [{"yuntuUrl": "u1"})", false, false, 0, 0, {}},
    };
    for (const auto& c : cases) {
        SearchPageReply page = ReadSearchPage(c.reply);
        std::vector<std::string> urls;
        for (const SearchPicture& p : page.pictures) urls.push_back(p.yuntuUrl);
        EXPECT_EQ(page.ok, c.ok) << c.reply;
        EXPECT_EQ(page.promisesMore, c.more) << c.reply;
        EXPECT_EQ(page.aimedLocal, c.aimedLocal) << c.reply;
        EXPECT_EQ(page.aimedMicrosoft, c.aimedMicrosoft) << c.reply;
        EXPECT_EQ(urls, c.urls) << c.reply;
    }
}

}  // namespace
