// Statistics pings: the seven URLs exactly, their encodings and suffixes, the stay's
// seconds and the 2048-byte limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BuildConfig.h"
#include "net/Identity.h"
#include "net/Pings.h"

namespace {

const std::string kH = "00000001000000AB000000AB000000FF";

class Pings : public ::testing::Test {
protected:
    void SetUp() override {
        SetIdentityForTesting({kH, "9.1", kSdkVersion});
        PingQueue::TakeAll();
    }
    static std::string Url(const std::string& query) {
        return std::string("http://") + build_config::kStatsHost + "/pv.gif?" + query;
    }
    // The one URL the last builder queued ("" when it queued none or several).
    static std::string Queued() {
        std::vector<std::string> all = PingQueue::TakeAll();
        return all.size() == 1 ? all[0] : std::string();
    }
};

const char kCommon[] = "&id=00000001000000AB000000AB000000FF&version_pc=1.0.0.21&orvan_version_pc=9.1";

}  // namespace

TEST_F(Pings, SevenTemplatesExactly) {
    const std::string c = kCommon;
    struct Case {
        void (*build)();
        std::string query;
    } cases[] = {
        {[] { PingStartup(); }, "uigs_productid=zindleapp&&page_pc=1&action_pc=1" + c},
        // The name arrives in code page 936 and is sent as percent-encoded UTF-8.
        {[] { PingCategoryStay("12", "\xB1\xED\xC7\xE9", true, 1.234); },
         "uigs_productid=zindleapp&&page_pc=1&action_pc=2" + c +
             "&subsort_id_pc=12&subsort_name_pc=%E8%A1%A8%E6%83%85&recommend_pc=1&time_pc=1.23"},
        {[] { PingCategoryShown("7 &x", "a b", false); },
         "uigs_productid=zindleapp&&page_pc=1&action_pc=5" + c + "&subsort_id_pc=7 &x&subsort_name_pc=a+b&recommend_pc=0"},
        {[] { PingPictureSentCategory("-1", "pic 1", "-1"); },
         "uigs_productid=zindleapp&&page_pc=1&action_pc=4" + c + "&subsort_id_pc=-1&pic_id_pc=pic 1&pic_type_pc=-1"},
        {[] { PingPictureSentSearch("a&b", "p9", "3"); },
         "uigs_productid=zindleapp&&page_pc=2&action_pc=4" + c + "&search_pc=a%26b&pic_id_pc=p9&pic_type_pc=3"},
        {[] { PingSearch("\xE8\xA1\xA8\xE6\x83\x85", 0, 0); },
         "uigs_productid=zindleapp&&page_pc=2&action_pc=3" + c + "&search_pc=%E8%A1%A8%E6%83%85"},
        {[] { PingGifAutoPlay(2, true); },
         "uigs_productid=zindleapp&&page_pc=2&action_pc=6" + c + "&gif_auto_play_pc=1"},
        {[] { PingGifAutoPlay(1, false); },
         "uigs_productid=zindleapp&&page_pc=1&action_pc=6" + c + "&gif_auto_play_pc=0"},
    };
    for (const Case& k : cases) {
        k.build();
        EXPECT_EQ(Url(k.query), Queued());
    }
}

TEST_F(Pings, EmptyIdentityValuesStillGoOut) {
    SetIdentityForTesting({"", "", kSdkVersion});
    PingStartup();
    EXPECT_EQ(Url("uigs_productid=zindleapp&&page_pc=1&action_pc=1&id=&version_pc=1.0.0.21&orvan_version_pc="),
              Queued());
}

TEST_F(Pings, KeywordsArePercentEncoded) {
    struct Case {
        const char* keywordUtf8;
        const char* sent;
    } cases[] = {
        {"a b", "a+b"},
        {"&", "%26"},
        {"\xE8\xA1\xA8\xE6\x83\x85", "%E8%A1%A8%E6%83%85"},
        {"", ""},
    };
    for (const Case& k : cases) {
        PingPictureSentSearch(k.keywordUtf8, "p", "1");
        EXPECT_EQ(Url(std::string("uigs_productid=zindleapp&&page_pc=2&action_pc=4") + kCommon + "&search_pc=" +
                      k.sent + "&pic_id_pc=p&pic_type_pc=1"),
                  Queued());
    }
}

TEST_F(Pings, SearchHitsAddAimedSuffixes) {
    struct Case {
        int local;
        int other;
        const char* suffix;
    } cases[] = {
        {1, 1, "&aimed=1&aimed=2"}, {0, 0, ""}, {1, 0, "&aimed=1"}, {0, 1, "&aimed=2"}, {2, 2, ""}, {2, 1, "&aimed=2"},
    };
    for (const Case& k : cases) {
        PingSearch("k", k.local, k.other);
        EXPECT_EQ(Url(std::string("uigs_productid=zindleapp&&page_pc=2&action_pc=3") + kCommon + "&search_pc=k" + k.suffix),
                  Queued())
            << k.local << "," << k.other;
    }
}

TEST_F(Pings, StayIsSentInSecondsWithTwoDecimals) {
    struct Case {
        DWORD start;
        DWORD now;
        const char* time;
    } cases[] = {
        {1000, 2234, "1.23"},
        {0xFFFFFF38, 1034, "1.23"},  // 200 ms before the tick counter wraps, 1034 ms after
        {5, 5, "0.00"},
        {0, 3600000, "3600.00"},
    };
    for (const Case& k : cases) {
        PingCategoryStay("1", "", false, StaySeconds(k.start, k.now));
        std::string url = Queued();
        EXPECT_EQ(std::string("&time_pc=") + k.time, url.substr(url.rfind('&'))) << url;
    }
}

TEST_F(Pings, UrlOver2048BytesIsDropped) {
    PingPictureSentCategory("", "", "");
    size_t fixed = Queued().size();
    PingPictureSentCategory(std::string(2047 - fixed, '1'), "", "");
    EXPECT_EQ(2047u, Queued().size());
    PingPictureSentCategory(std::string(2048 - fixed, '1'), "", "");
    EXPECT_TRUE(PingQueue::TakeAll().empty());
    // The encoded name is what counts: 700 escapes of three bytes each cannot fit.
    PingCategoryShown("1", std::string(700, '&'), true);
    EXPECT_TRUE(PingQueue::TakeAll().empty());
}
