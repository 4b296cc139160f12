// One pass of a row's download worker over tiles that stand in for the grid's: which
// pictures are fetched, the http retry of an "https://" address, and what a failure or a
// tile re-targeted meanwhile does to the request flags.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "delivery/DownloadWorker.h"
#include "net/Text.h"

namespace {

struct FakeSlot : DownloadSlot {
    std::string url;
    std::wstring path;
    bool requested = false;
    std::string GetUrl() const override { return url; }
    std::wstring GetLocalPath() const override { return path; }
    bool IsDownloadRequested() const override { return requested; }
    void SetDownloadRequested(bool value) override { requested = value; }
};

struct Row {
    std::vector<FakeSlot> tiles = std::vector<FakeSlot>(18);
    std::vector<std::string> fetched;  // "url -> path" per attempt
    // What each attempt answers, by URL; an absent URL fails. The action runs during the
    // attempt (a tile re-targeted while its picture downloads).
    std::function<bool(const std::string&)> answer = [](const std::string&) { return false; };
    std::function<void()> during;

    DownloadWorkerSetup Setup(int group) {
        DownloadWorkerSetup setup;
        for (FakeSlot& t : tiles) setup.slots.push_back(&t);
        setup.group = group;
        setup.download = [this](const std::wstring& url, const std::wstring& path) {
            fetched.push_back(FromWide(url, CP_UTF8) + " -> " + FromWide(path, CP_UTF8));
            if (during) during();
            return answer(FromWide(url, CP_UTF8));
        };
        return setup;
    }
    void Request(int index, const std::string& url, const std::wstring& path) {
        tiles[index].url = url;
        tiles[index].path = path;
        tiles[index].requested = true;
    }
};

TEST(DownloadRow, FetchesOnlyRequestedTilesOfItsOwnRow) {
    Row row;
    row.answer = [](const std::string&) { return true; };
    row.Request(5, "http://a/5", L"C:\\nowhere\\5");
    row.Request(6, "http://a/6", L"C:\\nowhere\\6");  // row 1: not this worker's
    row.tiles[3].url = "http://a/3";                 // not requested
    EXPECT_TRUE(DownloadRowOnce(row.Setup(0)));
    ASSERT_EQ(row.fetched.size(), 1u);
    EXPECT_EQ(row.fetched[0], "http://a/5 -> C:\\nowhere\\5");
    // The flag stays for the tile to clear when it shows the file.
    EXPECT_TRUE(row.tiles[5].requested);
}

TEST(DownloadRow, NothingRequestedIsNothingDone) {
    Row row;
    EXPECT_FALSE(DownloadRowOnce(row.Setup(2)));
    EXPECT_TRUE(row.fetched.empty());
}

TEST(DownloadRow, RetriesAndFailures) {
    const struct {
        const char* name;
        std::string url;
        std::function<bool(const std::string&)> answer;
        std::vector<std::string> attempts;
        bool refresh;
        bool stillRequested;
    } cases[] = {
        {"plain success", "http://a/p", [](const std::string&) { return true; }, {"http://a/p"}, true, true},
        {"failure twice clears the request", "http://a/p", [](const std::string&) { return false; },
         {"http://a/p", "http://a/p"}, true, false},
        {"second attempt succeeds", "http://a/p",
         [n = std::make_shared<int>(0)](const std::string&) { return ++*n == 2; }, {"http://a/p", "http://a/p"}, true, true},
        // The tile names the https address, so the file fetched over http shows at the next
        // refresh rather than at once.
        {"https retried over http", "https://a/p", [](const std::string& u) { return u.rfind("http:", 0) == 0; },
         {"https://a/p", "http://a/p"}, false, true},
        {"https failing both ways", "https://a/p", [](const std::string&) { return false; },
         {"https://a/p", "http://a/p"}, true, false},
    };
    for (const auto& c : cases) {
        Row row;
        row.answer = c.answer;
        row.Request(1, c.url, L"C:\\nowhere\\p");
        EXPECT_EQ(DownloadRowOnce(row.Setup(0)), c.refresh) << c.name;
        std::vector<std::string> urls;
        for (const std::string& f : row.fetched) urls.push_back(f.substr(0, f.find(" -> ")));
        EXPECT_EQ(urls, c.attempts) << c.name;
        EXPECT_EQ(row.tiles[1].requested, c.stillRequested) << c.name;
    }
}

// A tile given another picture while its download runs keeps the new picture's request,
// whatever became of the old one: the failure was not the new picture's.
TEST(DownloadRow, ATileRetargetedMeanwhileKeepsItsNewRequest) {
    for (bool succeeds : {true, false}) {
        Row row;
        row.answer = [succeeds](const std::string&) { return succeeds; };
        row.Request(2, "http://a/old", L"C:\\nowhere\\old");
        row.during = [&row] {
            row.tiles[2].url = "http://a/new";
            row.tiles[2].path = L"C:\\nowhere\\new";
            row.tiles[2].requested = true;
        };
        EXPECT_EQ(DownloadRowOnce(row.Setup(0)), !succeeds) << succeeds;
        EXPECT_TRUE(row.tiles[2].requested) << succeeds;
        // A success is not fetched again for the old picture.
        EXPECT_EQ(row.fetched.size(), succeeds ? 1u : 2u);
    }
}

TEST(DownloadRow, APictureAlreadyOnDiskIsShownNotFetched) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"download-row-test.png";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    Row row;
    row.Request(4, "http://a/p", path);
    EXPECT_TRUE(DownloadRowOnce(row.Setup(0)));
    EXPECT_TRUE(row.fetched.empty());
    DeleteFileW(path.c_str());
}

}  // namespace
