// Fetching category and search lists in batches, page by page, publishing each page
// to the UI thread as it arrives; and the recent list's session picks and file.
#include "ui/PictureLists.h"

#include "base/WindowMessages.h"
#include "delivery/Files.h"
#include "net/Endpoints.h"
#include "net/Pings.h"
#include "net/Text.h"
#include "ui/PageReplies.h"
#include "ui/RecentFile.h"

int PictureLists::FetchCategoryPages(bool newList, const std::string& categoryId) {
    if (newList) {
        LeaveShownList();
        SetShownCategory(categoryId);
        listStartTick = GetTickCount();
        categoryPictures.Clear();
        loadedCount = 0;
        nextPage = 1;
        moreAvailable = false;  // describes the new list from here on, even if it fails
        mode = static_cast<int>(ListMode::Category);
    }
    int result = newList ? kNewListReady : kRecordsAppended;
    int target = loadedCount + kBatchSize;
    bool firstPage = true;
    int emptyPagesInRow = 0;
    while (loadedCount < target) {
        CategoryPageReply page = ReadCategoryPage(RequestCategoryPage(categoryId, nextPage));
        if (!page.ok) return Finish(kFetchFailed);

        if (firstPage) {
            // The first page of each batch says how far the category goes.
            int total = page.totalCount;
            moreAvailable = target < total;
            if (target >= total) target = total;
            firstPage = false;
        }
        bool addedNothing = page.pictures.empty();
        categoryPictures.Append(std::move(page.pictures));
        nextPage = nextPage + 1;
        loadedCount = static_cast<int>(categoryPictures.Size());

        // A server that keeps answering empty pages below its own total has no more to give.
        emptyPagesInRow = addedNothing ? emptyPagesInRow + 1 : 0;
        if (emptyPagesInRow >= kMaxEmptyPagesInRow) {
            moreAvailable = false;
            break;
        }
    }
    return Finish(result);
}

int PictureLists::FetchSearchPages(bool newList, const std::wstring& keyword) {
    if (newList) {
        LeaveShownList();
        searchPictures.Clear();
        loadedCount = 0;
        nextPage = 1;
        moreAvailable = false;
        mode = static_cast<int>(ListMode::Search);
    }
    std::string keywordUtf8 = FromWide(keyword, CP_UTF8);
    int result = newList ? kNewListReady : kRecordsAppended;
    int target = loadedCount + kBatchSize;
    bool firstPage = true;
    int emptyPagesInRow = 0;
    while (loadedCount < target) {
        SearchPageReply page = ReadSearchPage(RequestSearchPage(keywordUtf8, nextPage));
        if (!page.ok) return Finish(kFetchFailed);

        if (firstPage) {
            PingSearch(keywordUtf8, page.aimedLocal, page.aimedMicrosoft);
            firstPage = false;
        }
        bool addedNothing = page.pictures.empty();
        searchPictures.Append(std::move(page.pictures));
        nextPage = nextPage + 1;
        loadedCount = static_cast<int>(searchPictures.Size());

        // Endless empty pages that each promise more must not keep the worker busy forever.
        emptyPagesInRow = addedNothing ? emptyPagesInRow + 1 : 0;
        moreAvailable = page.promisesMore && emptyPagesInRow < kMaxEmptyPagesInRow;
        if (!moreAvailable) break;
    }
    return Finish(result);
}

int PictureLists::Finish(int result) {
    if (HWND window = notifyWindow.load()) PostMessageW(window, UM_PICTURES_ARRIVED, 0, static_cast<LPARAM>(result));
    return result;
}

void PictureLists::SelectCategory(bool fromRow, const std::string& id, const std::wstring& name) {
    std::lock_guard<std::mutex> lock(selectionMutex_);
    selection_.categoryId = id;
    selection_.categoryName = name;
    selection_.categoryFromRow = fromRow;
}

void PictureLists::SelectKeyword(const std::wstring& keyword) {
    std::lock_guard<std::mutex> lock(selectionMutex_);
    selection_.keyword = keyword;
}

PictureLists::Selection PictureLists::CurrentSelection() const {
    std::lock_guard<std::mutex> lock(selectionMutex_);
    return selection_;
}

void PictureLists::SetShownCategory(const std::string& id) {
    std::lock_guard<std::mutex> lock(selectionMutex_);
    shown_ = selection_;
    shown_.categoryId = id;
}

void PictureLists::LeaveShownList() {
    if (onListLeft)
        onListLeft();
    else
        SendDwellTime();
}

void PictureLists::SendDwellTime() {
    if (mode == static_cast<int>(ListMode::Search)) return;
    Selection shown;
    {
        std::lock_guard<std::mutex> lock(selectionMutex_);
        shown = shown_;
    }
    PingCategoryStay(shown.categoryId, FromWide(shown.categoryName, CP_ACP), shown.categoryFromRow,
                     StaySeconds(listStartTick, GetTickCount()));
}

void PictureLists::BeginRecentView() {
    SetShownCategory(kRecentCategoryId);
    listStartTick = GetTickCount();
    mode = static_cast<int>(ListMode::Recent);
}

void PictureLists::AddSessionPick(const std::string& imageId, const std::string& imageUrl) {
    sessionPicks.push_back({imageId, imageUrl});
}

void PictureLists::MergeRecent() {
    recentPictures = MergeRecentPictures(sessionPicks, recentPictures, kBatchSize);
    sessionPicks.clear();
}

void PictureLists::LoadRecent() {
    recentPictures.clear();
    sessionPicks.clear();
    LoadRecentFile(recentFilePath, &recentPictures, &gifAutoPlay);
}

bool PictureLists::SaveRecent() {
    MergeRecent();
    return SaveRecentFile(recentFilePath, recentPictures, gifAutoPlay);
}

std::wstring DefaultRecentFilePath() {
    return DataFolderPath(L"Zindle") + L"\\common";
}
