// The grid's three picture lists and their paging: category and search lists grow in
// batches fetched page by page on the grid's request worker; the recent list lives on
// the UI thread and in the "common" file. No UI code here: the grid owns one of these.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ui/PictureRecords.h"
#include "ui/PublishedList.h"

class PictureLists {
public:
    // Results of a fetch, as UM_PICTURES_ARRIVED carries them in lParam.
    static constexpr int kNewListReady = 1;
    static constexpr int kRecordsAppended = 0;
    static constexpr int kFetchFailed = -1;
    // Pages in a row that add no record before a batch gives up on the list's end.
    static constexpr int kMaxEmptyPagesInRow = 3;

    // Worker thread. Start a new list (newList) or add the next batch of about 180
    // records. Return the result and, when notifyWindow is set, post it there as
    // UM_PICTURES_ARRIVED.
    int FetchCategoryPages(bool newList, const std::string& categoryId);
    int FetchSearchPages(bool newList, const std::wstring& keyword);

    // The user's latest choice: written on the UI thread, read whole by the worker.
    struct Selection {
        std::string categoryId;  // "-1" names the recent list
        std::wstring categoryName;
        bool categoryFromRow = false;  // picked from the category row, not the drop-down
        std::wstring keyword;
    };
    void SelectCategory(bool fromRow, const std::string& id, const std::wstring& name);
    void SelectKeyword(const std::wstring& keyword);
    Selection CurrentSelection() const;
    // Set by a new category or search, cleared when the user asks for more of the same list.
    std::atomic<bool> newList{false};

    // Ends the stay in the category or recent view shown now with a ping naming that
    // view (not the one about to replace it); a search view sends nothing.
    void SendDwellTime();
    // The recent list becomes the view: its stay starts now, with no report for the
    // view it replaces.
    void BeginRecentView();

    // UI thread: the recent list.
    void AddSessionPick(const std::string& imageId, const std::string& imageUrl);
    void MergeRecent();
    void LoadRecent();
    bool SaveRecent();

    // Paging state, shared between the worker and the UI thread.
    std::atomic<int> mode{static_cast<int>(ListMode::Search)};
    std::atomic<int> loadedCount{0};
    std::atomic<int> nextPage{1};
    std::atomic<bool> moreAvailable{false};
    std::atomic<DWORD> listStartTick{0};

    // Worker-written lists; the UI thread reads them through snapshots.
    PublishedList<CategoryPicture> categoryPictures;
    PublishedList<SearchPicture> searchPictures;
    // UI thread only.
    std::vector<RecentPicture> recentPictures;  // newest first
    std::vector<RecentPicture> sessionPicks;    // sent during this run, oldest first
    int gifAutoPlay = -1;                       // -1 not set, 0 still, 1 animated
    std::wstring recentFilePath;                // the "common" file

    // Where UM_PICTURES_ARRIVED goes; set by the owner once its window exists, read
    // by the worker at the end of each fetch.
    std::atomic<HWND> notifyWindow{nullptr};
    // Called at the start of every new-list fetch, before the mode changes, instead of
    // SendDwellTime when set.
    std::function<void()> onListLeft;

private:
    int Finish(int result);
    void LeaveShownList();
    void SetShownCategory(const std::string& id);

    mutable std::mutex selectionMutex_;
    Selection selection_;
    Selection shown_;  // the category or recent view whose stay is running
};

// The recent-list file's path: the data folder for "Zindle" + "\common".
std::wstring DefaultRecentFilePath();
