// Reading the category list from the content service's reply text.
#include "ui/CategoryList.h"

#include "net/ServerJson.h"

namespace {

// Arrays and objects both hold elements; anything else holds none.
bool HoldsElements(const Json::Value& value) {
    return (value.isArray() || value.isObject()) && !value.empty();
}

void AppendCategories(const Json::Value& list, std::vector<ServerCategory>* out) {
    if (!HoldsElements(list)) return;
    for (const Json::Value& category : list) {
        out->push_back({ValueToText(MemberOf(category, "subClassifyId")),
                        ValueToText(MemberOf(category, "subClassifyName"))});
    }
}

}  // namespace

bool ReadCategoryList(const std::string& reply, std::vector<ServerCategory>* categories) {
    Json::Value root;
    ParseServerJson(reply, &root);
    const Json::Value& data = MemberOf(root, "data");
    if (data.isNull()) return false;
    std::vector<ServerCategory> parsed;
    if (HoldsElements(data)) {
        for (const Json::Value& group : data) AppendCategories(MemberOf(group, "subClassifyList"), &parsed);
    }
    *categories = std::move(parsed);
    return true;
}
