// The category bar's data and geometry: reading the category list, the row, the
// drop-down's buttons and its page slider.
#include <gtest/gtest.h>

#include "net/Text.h"
#include "ui/CategoryLayout.h"

namespace {

std::string Ansi(const wchar_t* text) { return FromWide(text, CP_ACP); }

TEST(CategoryList, ReadsGroupsInOrderAfterTheBuiltInEntry) {
    std::string reply = Ansi(
        LR"({"data": [{"classifyName": "热门", "subClassifyList": [{"subClassifyId": "101", "subClassifyName": "开心"},)"
        LR"({"subClassifyId": "102", "subClassifyName": "难过"}]},)"
        LR"({"subClassifyList": [{"subClassifyId": "201", "subClassifyName": "早安"}]}]})");
    std::vector<CategoryEntry> entries;
    ASSERT_TRUE(ParseCategoryList(reply, &entries));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].id, "-1");
    EXPECT_EQ(entries[0].name, L"常用");
    EXPECT_EQ(entries[1].id, "101");
    EXPECT_EQ(entries[1].name, L"开心");
    EXPECT_EQ(entries[2].name, L"难过");
    EXPECT_EQ(entries[3].id, "201");
    EXPECT_EQ(entries[3].name, L"早安");
}

TEST(CategoryList, OddRepliesGiveWhatCanBeRead) {
    const struct {
        const char* reply;
        bool ok;
        size_t entries;  // the built-in one included
    } cases[] = {
        {"", false, 0},
        {"not json", false, 0},
        {"{\"status\": 1}", false, 0},
        {"{\"data\": null}", false, 0},
        {"[1, 2]", false, 0},
        {"{\"data\": []}", true, 1},
        {"{\"data\": 5}", true, 1},
        {"{\"data\": [{\"subClassifyList\": 7}, {\"x\": 1}, 3, \"text\"]}", true, 1},
        // An object holds its members as elements, like an array.
        {"{\"data\": {\"g\": {\"subClassifyList\": {\"a\": {\"subClassifyId\": \"9\"}}}}}", true, 2},
        // Members missing or of another type give empty or decimal text, never a failure.
        {"{\"data\": [{\"subClassifyList\": [{}, {\"subClassifyId\": 12, \"subClassifyName\": true}]}]}", true, 3},
    };
    for (const auto& c : cases) {
        std::vector<CategoryEntry> entries;
        EXPECT_EQ(ParseCategoryList(c.reply, &entries), c.ok) << c.reply;
        EXPECT_EQ(entries.size(), c.entries) << c.reply;
    }
    std::vector<CategoryEntry> entries;
    ParseCategoryList("{\"data\": [{\"subClassifyList\": [{}, {\"subClassifyId\": 12, \"subClassifyName\": true}]}]}",
                      &entries);
    EXPECT_EQ(entries[1].id, "");
    EXPECT_EQ(entries[2].id, "12");
    EXPECT_EQ(entries[2].name, L"");
}

TEST(CategoryRow, ButtonsOfTextWidth) {
    // Two-unit names: 46 wide at steps of 50 from x = 12; the 11th starts at 512 and
    // carries x to 562, so it is the last of the row.
    EXPECT_EQ(RowButtonCount(std::vector<int>(30, 2)), 11);
    RECT first = RowButtonRect(12, 2);
    EXPECT_EQ(first.left, 12);
    EXPECT_EQ(first.top, 10);
    EXPECT_EQ(first.right, 58);
    EXPECT_EQ(first.bottom, 35);
    int x = 12;
    for (int i = 0; i < 10; i++) x = NextRowX(x, 2);
    EXPECT_EQ(x, 512);
    EXPECT_EQ(NextRowX(x, 2), 562);

    const struct {
        std::vector<int> lengths;
        int count;
    } cases[] = {
        {{}, 0},
        {{2}, 1},
        {{40}, 1},            // one long name still gets its button
        {{2, 2, 2, 2, 3, 2, 2, 2, 2, 2, 2, 2}, 10},  // the sample catalog's row
        {{10, 10, 10, 10, 10}, 4},  // 12 -> 166 -> 320 -> 474 -> 628: the fourth ends the row
    };
    for (const auto& c : cases) EXPECT_EQ(RowButtonCount(c.lengths), c.count) << c.lengths.size();
}

TEST(CategoryDropDown, ButtonsFillSixColumnsOfThreeRows) {
    const struct {
        int k;
        RECT rc;
    } cases[] = {
        {0, {5, 5, 108, 36}}, {1, {113, 5, 216, 36}}, {5, {545, 5, 648, 36}},
        {6, {5, 41, 108, 72}}, {17, {545, 77, 648, 108}},
    };
    for (const auto& c : cases) {
        RECT rc = DropDownButtonRect(c.k);
        EXPECT_TRUE(EqualRect(&rc, &c.rc)) << c.k << ": " << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
    }
}

TEST(CategoryDropDown, PagesOfTheSlider) {
    const struct {
        int count;
        int pages, thumb, maxValue, pageStep;
        bool singlePage, sliderVisible;
    } cases[] = {
        {1, 1, 105, 0, 1, true, false},
        {18, 1, 105, 0, 1, true, false},
        {19, 2, 52, 53, 53, false, false},
        {36, 2, 52, 53, 53, false, false},
        {37, 3, 35, 70, 35, false, true},
        {41, 3, 35, 70, 35, false, true},
        {54, 3, 35, 70, 35, false, true},
        {55, 4, 26, 79, 26, false, true},
        // More pages than the track has pixels: one slider unit per page, never a step of 0.
        {2000, 112, 1, 111, 1, false, true},
    };
    for (const auto& c : cases) {
        DropDownPaging p = DropDownPagingFor(c.count);
        EXPECT_EQ(p.pages, c.pages) << c.count;
        EXPECT_EQ(p.thumb, c.thumb) << c.count;
        EXPECT_EQ(p.maxValue, c.maxValue) << c.count;
        EXPECT_EQ(p.pageStep, c.pageStep) << c.count;
        EXPECT_EQ(p.singlePage, c.singlePage) << c.count;
        EXPECT_EQ(p.sliderVisible, c.sliderVisible) << c.count;
        // Stepping from the top by pageStep visits every page once, the last at the bottom.
        if (!p.singlePage) {
            for (int page = 0; page < p.pages; page++) {
                int value = p.maxValue - page * p.pageStep;
                EXPECT_EQ(DropDownPageAt(p, value), page) << c.count;
            }
            EXPECT_EQ(DropDownPageAt(p, 0), p.pages - 1) << c.count;
        }
    }
}

}  // namespace
