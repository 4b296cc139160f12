// The grid scroll bar's page arithmetic: the geometry of lists from empty to many
// thousand records, and that every page position maps back to its page.
#include <gtest/gtest.h>

#include "ui/ScrollGeometry.h"

namespace {

TEST(ScrollGeometry, StepsForListLengths) {
    const struct {
        int count;
        int lastPage, thumb, range, longStep, longStepCount;
        bool singlePage;
    } cases[] = {
        {0, 0, 385, 0, 1, 0, true},
        {1, 0, 385, 0, 1, 0, true},
        {18, 0, 385, 0, 1, 0, true},
        {19, 1, 192, 193, 194, 0, false},
        {36, 1, 192, 193, 194, 0, false},
        {37, 2, 128, 257, 129, 1, false},
        {40, 2, 128, 257, 129, 1, false},
        {180, 9, 38, 347, 39, 5, false},
        {181, 10, 35, 350, 36, 0, false},
        {200, 11, 32, 353, 33, 1, false},
        {3474, 192, 1, 384, 3, 0, false},     // 193 pages: the thumb is down to a pixel
        {6930, 384, 1, 384, 2, 0, false},     // the last list whose pages each get a unit
    };
    for (const auto& c : cases) {
        PageSteps s = PageStepsFor(c.count);
        EXPECT_EQ(s.lastPage, c.lastPage) << c.count;
        EXPECT_EQ(s.thumb, c.thumb) << c.count;
        EXPECT_EQ(s.range, c.range) << c.count;
        EXPECT_EQ(s.longStep, c.longStep) << c.count;
        EXPECT_EQ(s.longStepCount, c.longStepCount) << c.count;
        EXPECT_EQ(s.singlePage, c.singlePage) << c.count;
        EXPECT_FALSE(s.crowded) << c.count;
    }
}

TEST(ScrollGeometry, PagesOfA180RecordListLieOnTheirUnits) {
    PageSteps s = PageStepsFor(180);
    // Pages 0..5 lie 39 units apart, pages 6..9 38 apart; the last page sits at value 0.
    const int offsets[] = {0, 39, 78, 117, 156, 195, 233, 271, 309, 347};
    for (int p = 0; p <= 9; p++) EXPECT_EQ(PageOffset(s, p), offsets[p]) << p;
    EXPECT_EQ(s.range - PageOffset(s, 9), 0);
    // Rounding compares with half the long step: 20 units below page 0 is page 1, 19 is page 0.
    EXPECT_EQ(ValueToPage(s, s.range - 20), 1);
    EXPECT_EQ(ValueToPage(s, s.range - 19), 0);
    EXPECT_EQ(ValueToPage(s, s.range - 195 - 19), 5);
    EXPECT_EQ(ValueToPage(s, s.range - 195 - 20), 6);
}

// Every list length, up to many thousand records: positions rise with the page, the last
// page ends the range, each page's own position maps back to it, and no value of the
// track gives a page outside the list (or divides by zero).
TEST(ScrollGeometry, EveryLengthMapsPagesBothWays) {
    for (int count : {19, 37, 55, 100, 179, 180, 199, 360, 1000, 3474, 3475, 6930, 6931, 6949, 7000, 10000, 100000,
                      2000000}) {
        PageSteps s = PageStepsFor(count);
        ASSERT_FALSE(s.singlePage) << count;
        ASSERT_GE(s.thumb, 1) << count;
        EXPECT_EQ(s.range + s.thumb, kTrackLength) << count;
        EXPECT_EQ(PageOffset(s, s.lastPage), s.range) << count;
        int previous = -1;
        for (int p = 0; p <= s.lastPage; p++) {
            int offset = PageOffset(s, p);
            ASSERT_GE(offset, previous) << count << " page " << p;
            if (!s.crowded) {
                ASSERT_GT(offset, previous) << count << " page " << p;
                ASSERT_EQ(ValueToPage(s, s.range - offset), p) << count << " page " << p;
            }
            previous = offset;
        }
        for (int v = -5; v <= s.range + 5; v++) {
            int p = ValueToPage(s, v);
            ASSERT_TRUE(p >= 0 && p <= s.lastPage) << count << " value " << v << " page " << p;
        }
    }
}

TEST(ScrollGeometry, CrowdedListsSharePositionsInProportion) {
    PageSteps s = PageStepsFor(10000);  // 556 pages on 384 units
    EXPECT_TRUE(s.crowded);
    EXPECT_EQ(s.lastPage, 555);
    EXPECT_EQ(s.thumb, 1);
    EXPECT_EQ(ValueToPage(s, s.range), 0);
    EXPECT_EQ(ValueToPage(s, 0), 555);
    EXPECT_EQ(ValueToPage(s, s.range / 2), 278);
    // A page's position maps back to a page within one unit's worth of pages.
    for (int p = 0; p <= s.lastPage; p++) {
        int back = ValueToPage(s, s.range - PageOffset(s, p));
        EXPECT_LE(std::abs(back - p), 1) << p;
    }
}

TEST(ScrollGeometry, LastPageIndex) {
    const int cases[][2] = {{0, 0}, {1, 0}, {17, 0}, {18, 0}, {19, 1}, {36, 1}, {37, 2}, {40, 2}, {180, 9}, {200, 11}};
    for (const auto& c : cases) EXPECT_EQ(LastPageFor(c[0]), c[1]) << c[0];
}

}  // namespace
