// CImageContainer: the picture grid, 18 tiles in 3 rows of 6 showing one screen page of
// the current list. It owns the three picture lists and their paging, the queue of list
// requests and the worker that serves it, the row download workers, the loading look,
// the "RefreshBtn" of the no-network look, and the backgrounds that say there are no
// recent pictures, no search results or no network. There is one grid, made on first
// use and never deleted. UI thread unless a member says otherwise.
#pragma once
#include <windows.h>

#include <atomic>
#include <deque>
#include <string>
#include <vector>

#include "ui/ImageBase.h"
#include "ui/PictureLists.h"
#include "ui/SingleImage.h"
#include "uilib/UIButton.h"
#include "uilib/UIGifAnim.h"
#include "uilib/UILabel.h"

class CImageScrollBar;

class CImageContainer : public CImageBase {
public:
    static constexpr int kTileCount = 18;
    // Request kinds in the queue.
    static constexpr int kSearchRequest = 0;
    static constexpr int kCategoryRequest = 1;

    // The one grid, made on first use: its construction loads the recent list and starts
    // the request worker and the three download workers.
    static CImageContainer* Instance();

    // Where the workers post their results: the main window, once it exists.
    void SetNotifyWindow(HWND window);

    // What the user asked to see. id "-1" is the recent list.
    void SelectCategory(bool fromRow, const std::string& id, const std::wstring& name);
    void StartSearch(const std::wstring& keyword);

    // The looks.
    void ShowLoading();
    void ShowResult(bool isNew);
    void ShowOffline();
    void ShowNormalBackground();  // online, "Res\Common.png", no "RefreshBtn"
    void HideTiles();

    // Queues the current list again (after a failure), unless a request is waiting.
    void Refresh();
    // True when the fetch that posted the UM_PICTURES_ARRIVED being handled was for a
    // list the user has left since (another category, a search, the recent list): its
    // result is not shown, the request that replaced it brings the right one.
    bool IsStaleResult() const;
    // Shows screen page `page` of the current list on the tiles.
    void FillPage(int page);
    // The user reached the last page: queues the list's next batch if it has one.
    void RequestMore();
    // Called with the tile-group lock of the main window held.
    void RefreshTileGroup(int group);
    void SetGifAutoPlay(bool isStatic);

    // The keyboard: the grid takes the focus with its ring on the first tile of the page.
    void FocusFromKeyboard();
    int RingedTile() const { return hasKeyboard ? ringIndex : -1; }

    void AddSessionPick(const std::string& imageId, const std::string& imageUrl);
    bool SaveRecent();
    void SendDwellTime();

    // Lets the worker start taking requests (once the category list is there).
    void EnableWorker() { workerEnabled = true; }
    bool HasQueuedRequest() const;
    bool IsOnline() const { return online; }
    int GifAutoPlay() const { return lists.gifAutoPlay; }
    void SetGifAutoPlayChoice(int value) { lists.gifAutoPlay = value; }
    ListMode Mode() const { return static_cast<ListMode>(lists.mode.load()); }
    PictureLists& Lists() { return lists; }
    const std::vector<CSingleImage*>& Tiles() const { return tiles; }

private:
    CImageContainer();

    void CreateTiles();
    void StartDownloadWorkers();
    // Replaces whatever is queued by kind, and shows the loading look.
    void QueueRequest(int kind);
    void DropQueuedRequest();
    void ShowRecent();
    void FillTile(CSingleImage* tile, int index);
    void StartRequestWorker();
    // Keyboard picking (GridKeyboard.cpp).
    bool OnGridEvent(void* param);
    void OnKey(UINT key);
    void OnChar(wchar_t ch);
    void MoveRingAcrossPage(bool forwards, int landing);
    void PlaceRing(int index);
    int VisibleTileCount() const;
    bool TakeRequest(int* kind);
    void RunRequest(int kind);

    PictureLists lists;
    CImageScrollBar* scrollBar = nullptr;
    CButtonUI* refreshButton = nullptr;
    std::vector<CSingleImage*> tiles;
    std::deque<int> requestQueue;  // guarded by the request lock
    // Counts the user's list requests (under the request lock); the worker notes the count
    // at which it took the request it runs, so a result can be told from a stale one.
    unsigned requestSerial = 0;
    std::atomic<unsigned> fetchSerial{0};
    bool online = true;
    std::atomic<bool> workerEnabled{false};
    CLabelUI* loadingLabel = nullptr;
    CGifAnimUI* loadingGif = nullptr;
    std::atomic<HWND> notifyWindow{nullptr};
    bool hasKeyboard = false;  // the grid has the focus and shows its ring
    int ringIndex = 0;
};
