// A service that keeps answering empty pages while it promises more ("totalCount" far
// ahead, "endFlag" 0): the list gives up after three empty pages in a row, reports
// nothing more to come, and the fetch ends as the new (empty) list it is.
#include <gtest/gtest.h>

#include "net/Identity.h"
#include "net/Pings.h"
#include "ui/PictureLists.h"

TEST(EmptyPages, ABatchOfNothingEndsAfterThreePages) {
    SetIdentityForTesting({"00000001000000AB000000AB000000FF", "9.1", kSdkVersion});
    PingQueue::TakeAll();
    PictureLists lists;
    lists.onListLeft = [] {};
    const struct {
        const char* name;
        bool search;
    } cases[] = {{"category", false}, {"search", true}};
    for (const auto& c : cases) {
        int result = c.search ? lists.FetchSearchPages(true, L"anything") : lists.FetchCategoryPages(true, "c50");
        EXPECT_EQ(PictureLists::kNewListReady, result) << c.name;
        EXPECT_EQ(0, lists.loadedCount.load()) << c.name;
        EXPECT_EQ(1 + PictureLists::kMaxEmptyPagesInRow, lists.nextPage.load()) << c.name << ": pages asked for";
        EXPECT_FALSE(lists.moreAvailable.load()) << c.name << " still promises more";
        // Asking for more of the same list asks nothing more of the server either.
        int again = c.search ? lists.FetchSearchPages(false, L"anything") : lists.FetchCategoryPages(false, "c50");
        EXPECT_EQ(PictureLists::kRecordsAppended, again) << c.name;
        EXPECT_FALSE(lists.moreAvailable.load()) << c.name;
    }
}
