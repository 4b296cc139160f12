// The category list the content service answers to "allname", read from the reply's
// text alone; CategoryLayout puts the built-in entry first and converts the names.
#pragma once
#include <string>
#include <vector>

struct ServerCategory {
    std::string id;    // "subClassifyId" as sent (a text, or an integer's decimal text)
    std::string name;  // "subClassifyName", bytes in the ANSI code page as the reply holds them
};

// The categories of a category-list reply in reply order: every group's "subClassifyList"
// in turn (arrays and objects alike). False, with *categories untouched, when the reply has
// no "data" to read (not JSON, or no such member).
bool ReadCategoryList(const std::string& reply, std::vector<ServerCategory>* categories);
