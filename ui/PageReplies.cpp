// Reading category and search pages from the content service's reply text.
#include "ui/PageReplies.h"

#include "net/ServerJson.h"

CategoryPageReply ReadCategoryPage(const std::string& reply) {
    CategoryPageReply page;
    Json::Value root;
    ParseServerJson(reply, &root);
    const Json::Value& data = MemberOf(root, "data");
    if (!data.isObject()) return page;
    page.ok = true;
    page.totalCount = IntMember(data, "totalCount", 0);
    const Json::Value& picList = MemberOf(data, "picList");
    if (picList.isArray() || picList.isObject()) {
        for (const Json::Value& picture : picList) page.pictures.push_back(CategoryPictureFromJson(picture));
    }
    return page;
}

SearchPageReply ReadSearchPage(const std::string& reply) {
    SearchPageReply page;
    Json::Value root;
    ParseServerJson(reply, &root);
    const Json::Value& data = MemberOf(root, "data");
    if (!data.isArray()) return page;
    page.ok = true;
    page.aimedLocal = IntMember(root, "aimedLocal", 0);
    page.aimedMicrosoft = IntMember(root, "aimedMicrosoft", 0);
    page.promisesMore = SearchReplyPromisesMore(root);
    for (const Json::Value& picture : data) page.pictures.push_back(SearchPictureFromJson(picture));
    return page;
}
