// The content service's replies: the category list, category pages, search pages and the
// advertisement configuration, as UTF-8 JSON text. Picture URLs point back at the service.
#pragma once
#include <map>
#include <string>

#include "Catalog.h"

constexpr int kCategoryPageSize = 60;
constexpr int kSearchPageSize = 40;
// What every category page claims to hold when the pages are left empty.
constexpr int kEmptyPagesTotal = 1000;

// Query parameters, percent-decoded ("+" is a space). A repeated key keeps its last value.
std::map<std::string, std::string> ParseQuery(const std::string& query);
// The path of a URL's part before "?": "http://host/a/b" gives "/a/b".
std::string UrlPath(const std::string& base);

// Fills json for a known content path; false for any other path.
// serviceUrl is "http://127.0.0.1:PORT", the prefix of every picture and resource URL.
// emptyPages: category pages claim kEmptyPagesTotal pictures and list none, search pages
// list none and are never the last (endFlag 0); the other replies stay as they are.
bool AnswerContent(const Catalog& catalog, const std::string& serviceUrl, const std::string& path,
                   const std::string& query, std::string* json, bool emptyPages = false);
