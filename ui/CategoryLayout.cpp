// Reading the category list and the category bar's geometry.
#include "ui/CategoryLayout.h"

#include <algorithm>

#include "net/Text.h"
#include "ui/CategoryList.h"

namespace {

constexpr int kRowButtonTop = 10;
constexpr int kRowButtonBottom = 35;
constexpr int kUnitWidth = 13;
constexpr int kTextPadding = 20;
constexpr int kButtonGap = 4;
constexpr int kDropDownLeft = 5;
constexpr int kDropDownTop = 5;
constexpr int kDropDownColumnStep = 108;
constexpr int kDropDownRowStep = 36;
constexpr int kDropDownButtonWidth = 103;
constexpr int kDropDownButtonHeight = 31;

}  // namespace

bool ParseCategoryList(const std::string& reply, std::vector<CategoryEntry>* entries) {
    std::vector<ServerCategory> categories;
    if (!ReadCategoryList(reply, &categories)) return false;
    std::vector<CategoryEntry> parsed;
    parsed.reserve(categories.size() + 1);
    parsed.push_back({kRecentEntryId, kRecentEntryName});
    for (const ServerCategory& category : categories) parsed.push_back({category.id, ToWide(category.name, CP_ACP)});
    *entries = std::move(parsed);
    return true;
}

RECT RowButtonRect(int x, int nameLength) {
    return RECT{x, kRowButtonTop, x + kUnitWidth * nameLength + kTextPadding, kRowButtonBottom};
}

int NextRowX(int x, int nameLength) {
    return x + kUnitWidth * nameLength + kTextPadding + kButtonGap;
}

int RowButtonCount(const std::vector<int>& nameLengths) {
    int x = kRowFirstX;
    int count = 0;
    while (count < static_cast<int>(nameLengths.size())) {
        x = NextRowX(x, nameLengths[count]);
        count++;
        if (x >= kRowEndX) break;
    }
    return count;
}

RECT DropDownButtonRect(int k) {
    int column = k % kDropDownColumns, row = (k / kDropDownColumns) % (kDropDownPerPage / kDropDownColumns);
    int x = kDropDownLeft + kDropDownColumnStep * column, y = kDropDownTop + kDropDownRowStep * row;
    return RECT{x, y, x + kDropDownButtonWidth, y + kDropDownButtonHeight};
}

DropDownPaging DropDownPagingFor(int count, int previousPageStep) {
    DropDownPaging paging;
    paging.pages = count <= 0 ? 0 : (count + kDropDownPerPage - 1) / kDropDownPerPage;
    int last = paging.pages - 1;
    paging.pageStep = previousPageStep;
    if (last > 0) {
        paging.singlePage = false;
        paging.thumb = kDropDownTrack / paging.pages;
        paging.maxValue = kDropDownTrack - paging.thumb;
        paging.pageStep = paging.maxValue / last;
        if (paging.pageStep < 1) {
            // More pages than the track has pixels: one value per page, the thumb a pixel.
            paging.pageStep = 1;
            paging.maxValue = last;
            paging.thumb = std::max(paging.thumb, 1);
        }
    }
    paging.sliderVisible = last > 1;
    return paging;
}

int DropDownPageAt(const DropDownPaging& paging, int value) {
    if (paging.singlePage) return 0;
    int page = (paging.maxValue - value) / std::max(paging.pageStep, 1);
    return std::clamp(page, 0, paging.pages - 1);
}
