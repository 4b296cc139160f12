// One page of a category list or of search results, read from the reply's text alone:
// the fetch loops in PictureLists decide what to ask for next from what these give.
#pragma once
#include <string>
#include <vector>

#include "ui/PictureRecords.h"

// A category page: {"data": {"totalCount": n, "picList": [picture...]}}.
struct CategoryPageReply {
    bool ok = false;     // the reply is JSON with a "data" object
    int totalCount = 0;  // 0 when absent or not an integer
    std::vector<CategoryPicture> pictures;  // "picList" as an array or an object, in order
};
CategoryPageReply ReadCategoryPage(const std::string& reply);

// A search page: {"data": [picture...], "aimedLocal": n, "aimedMicrosoft": n, "endFlag": 0|1}.
struct SearchPageReply {
    bool ok = false;  // the reply is JSON whose "data" is an array
    int aimedLocal = 0;
    int aimedMicrosoft = 0;
    bool promisesMore = false;  // SearchReplyPromisesMore
    std::vector<SearchPicture> pictures;
};
SearchPageReply ReadSearchPage(const std::string& reply);
