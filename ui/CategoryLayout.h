// The category bar's data and arithmetic: the category list read from the server's
// reply, where the row buttons go, and how the drop-down's pages map to its slider.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct CategoryEntry {
    std::string id;    // "subClassifyId" as sent
    std::wstring name; // "subClassifyName", from the ANSI code page
};

// The built-in first entry: the recently used pictures.
constexpr char kRecentEntryId[] = "-1";
constexpr wchar_t kRecentEntryName[] = L"常用";

// The entries of a category-list reply (ANSI code page), the built-in "常用" first, then
// what ReadCategoryList (ui/CategoryList.h) reads, names converted to UTF-16. False, with
// *entries untouched, when the reply has no "data" to read (not JSON, or no such member).
bool ParseCategoryList(const std::string& reply, std::vector<CategoryEntry>* entries);

// Row buttons: text wide (13 pixels a UTF-16 unit plus 20), 24 apart at steps, the first at
// x = 12; a button that carries the running x to 520 or beyond is the last of the row.
constexpr int kRowFirstX = 12;
constexpr int kRowEndX = 520;
RECT RowButtonRect(int x, int nameLength);
int NextRowX(int x, int nameLength);
// How many of the entries (the built-in one included) the row holds, given their names'
// lengths; at least one when there is any entry.
int RowButtonCount(const std::vector<int>& nameLengths);

// Drop-down buttons: 6 columns, 3 rows, 18 to a page.
constexpr int kDropDownColumns = 6;
constexpr int kDropDownPerPage = 18;
RECT DropDownButtonRect(int k);

// The drop-down's page slider for n categories in it. Values run from maxValue (page 0)
// down to 0; the page shown is (maxValue − value) div pageStep.
constexpr int kDropDownTrack = 105;
struct DropDownPaging {
    int pages = 0;
    bool singlePage = true;
    int thumb = kDropDownTrack;
    int maxValue = 0;
    int pageStep = 1;
    bool sliderVisible = false;  // from three pages on
};
DropDownPaging DropDownPagingFor(int count, int previousPageStep = 1);
int DropDownPageAt(const DropDownPaging& paging, int value);
