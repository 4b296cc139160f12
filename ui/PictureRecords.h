// The records of the three picture lists and which list the grid shows. Text fields
// hold the server's JSON text as received.
#pragma once
#include <json/json.h>

#include <string>

// Which list the grid shows; read by the bottom bar and the pings as a 32-bit int.
enum class ListMode : int { Search = 0, Category = 1, Recent = 2 };

// The pseudo-category id that names the recent list.
constexpr char kRecentCategoryId[] = "-1";
// Records a fetch adds per batch (ten screen pages of 18), and the recent list's limit.
constexpr int kBatchSize = 180;

struct CategoryPicture {
    std::string imageHeight;
    std::string imageSource;  // the tile's source text
    std::string isSet;
    std::string imageUrl;     // where the tile downloads the picture
    std::string tags;
    std::string sourceDomain;
    std::string imageId;      // the tile's picture id and cache file name
    std::string score;
};

struct SearchPicture {
    std::string imageHeight;
    std::string imageSource;
    std::string tags;
    std::string sourceDomain;
    std::string imageId;
    std::string yuntuUrl;  // search results carry their picture URL here, not in "imageUrl"
};

struct RecentPicture {
    std::string imageId;
    std::string imageUrl;
};

// From one picture object of a reply; missing or mistyped members give empty texts.
CategoryPicture CategoryPictureFromJson(const Json::Value& picture);
SearchPicture SearchPictureFromJson(const Json::Value& picture);
// A search reply promises a further page only by an integer "endFlag" of 0; true, "0",
// 0.0 or no member at all end the list with this page.
bool SearchReplyPromisesMore(const Json::Value& root);
