// The picture grid: construction, its looks (loading, list, empty recent list, no search
// result, offline), filling a screen page, the rows' picture refresh and the animation
// switch. The request queue and its worker are in GridRequests.cpp.
#include "ui/ImageContainer.h"

#include <mutex>

#include "delivery/DownloadWorker.h"
#include "net/Text.h"
#include "ui/ImageScrollBar.h"

namespace {

std::mutex gridInstanceLock;
std::atomic<CImageContainer*> gridInstance{nullptr};

constexpr RECT kGridPos = {1, 110, 676, 440};
constexpr RECT kRefreshButtonPos = {433, 145, 530, 180};
constexpr RECT kLoadingLabelPos = {284, 146, 424, 158};
constexpr RECT kLoadingGifPos = {218, 132, 258, 172};
constexpr int kLoadingFont = 3;
constexpr int kFirstTileX = 12;
constexpr int kTileStep = 110;
constexpr int kLastTileX = 600;  // a tile starting beyond this begins the next row

constexpr wchar_t kCommonBackground[] = L"Res\\Common.png";
constexpr wchar_t kNoRecentBackground[] = L"Res\\NoCommon.png";
constexpr wchar_t kNoSearchResultBackground[] = L"Res\\NoSearchResult.png";
constexpr wchar_t kOfflineBackground[] = L"Res\\NoNetWork.png";

}  // namespace

CImageContainer* CImageContainer::Instance() {
    CImageContainer* grid = gridInstance.load();
    if (grid) return grid;
    std::lock_guard<std::mutex> lock(gridInstanceLock);
    grid = gridInstance.load();
    if (!grid) {
        grid = new CImageContainer;
        gridInstance.store(grid);
    }
    return grid;
}

CImageContainer::CImageContainer() {
    SetMyPos(kGridPos);
    SetBkImage(kCommonBackground);
    refreshButton = new CButtonUI;
    refreshButton->SetName(L"RefreshBtn");
    refreshButton->SetMyPos(kRefreshButtonPos);
    refreshButton->SetNormalImage(L"Res\\RefreshNormal.png");
    refreshButton->SetHotImage(L"Res\\RefreshFocus.png");
    refreshButton->SetPushedImage(L"Res\\RefreshClick.png");
    refreshButton->SetVisible(false);
    Add(refreshButton);

    CreateTiles();
    StartDownloadWorkers();
    lists.recentFilePath = DefaultRecentFilePath();
    lists.LoadRecent();
    scrollBar = CImageScrollBar::Instance();
    StartRequestWorker();

    loadingLabel = new CLabelUI;
    loadingLabel->SetFont(kLoadingFont);
    loadingLabel->SetText(L"正在加载页面，请稍后...");
    loadingLabel->SetMyPos(kLoadingLabelPos);
    Add(loadingLabel);
    loadingGif = new CGifAnimUI;
    loadingGif->SetMyPos(kLoadingGifPos);
    loadingGif->SetBkImage(L"Res\\MainLoading.gif");
    Add(loadingGif);
    OnEvent += MakeDelegate(this, &CImageContainer::OnGridEvent);
}

// Row-major from the top left: x grows by 110 and wraps to the next row past x = 600.
void CImageContainer::CreateTiles() {
    int x = kFirstTileX, y = 0;
    for (int k = 0; k < kTileCount; k++) {
        auto* tile = new CSingleImage(x, y);
        Add(tile);
        tiles.push_back(tile);
        x += kTileStep;
        if (x > kLastTileX) {
            x = kFirstTileX;
            y += kTileStep;
        }
    }
}

void CImageContainer::StartDownloadWorkers() {
    std::vector<DownloadSlot*> slots(tiles.begin(), tiles.end());
    for (int group = 0; group < kTileRows; group++) {
        DownloadWorkerSetup setup;
        setup.slots = slots;
        setup.group = group;
        setup.notifyWindow = &notifyWindow;
        setup.pagePosition = [] { return CImageScrollBar::Instance()->PagePosition(); };
        StartDownloadWorker(std::move(setup));
    }
}

void CImageContainer::SetNotifyWindow(HWND window) {
    notifyWindow = window;
    lists.notifyWindow = window;
}

void CImageContainer::ShowLoading() {
    SetBkImage(kCommonBackground);
    HideTiles();
    refreshButton->SetVisible(false);
    loadingLabel->SetVisible(true);
    loadingGif->SetVisible(true);
}

void CImageContainer::ShowNormalBackground() {
    online = true;
    SetBkImage(kCommonBackground);
    refreshButton->SetVisible(false);
}

void CImageContainer::ShowResult(bool isNew) {
    loadingLabel->SetVisible(false);
    loadingGif->SetVisible(false);
    scrollBar->SetVisible(true);
    scrollBar->SetRange(lists.loadedCount, isNew);
    refreshButton->SetVisible(false);
    if (isNew) {
        ringIndex = 0;  // a new list starts its ring on the first tile
        FillPage(0);
    }
    if (Mode() == ListMode::Search && lists.searchPictures.Size() == 0) {
        scrollBar->SetVisible(false);
        SetBkImage(kNoSearchResultBackground);
    }
}

void CImageContainer::ShowOffline() {
    online = false;
    refreshButton->SetVisible(true);
    loadingGif->SetVisible(false);
    loadingLabel->SetVisible(false);
    HideTiles();
    SetBkImage(kOfflineBackground);
}

// The recent list is local: it shows at once, over whatever was loading (a request
// still waiting was dropped, a running one's result is stale).
void CImageContainer::ShowRecent() {
    scrollBar->SetVisible(true);
    refreshButton->SetVisible(false);
    loadingLabel->SetVisible(false);
    loadingGif->SetVisible(false);
    SetBkImage(kCommonBackground);
    lists.MergeRecent();
    lists.nextPage = 1;
    lists.mode = static_cast<int>(ListMode::Recent);
    lists.loadedCount = static_cast<int>(lists.recentPictures.size());
    scrollBar->SetRange(lists.loadedCount, true);
    ringIndex = 0;
    FillPage(0);
    if (lists.recentPictures.empty()) {
        scrollBar->SetVisible(false);
        SetBkImage(kNoRecentBackground);
    }
}

void CImageContainer::HideTiles() {
    for (CSingleImage* tile : tiles) tile->SetVisible(false);
    scrollBar->SetVisible(false);
}

void CImageContainer::FillPage(int page) {
    if (!online && Mode() != ListMode::Recent) return;
    for (int i = 0; i < kTileCount && i < static_cast<int>(tiles.size()); i++) {
        FillTile(tiles[i], page * kTileCount + i);
    }
    if (hasKeyboard) PlaceRing(ringIndex);  // a shorter page pulls the ring back
}

// Puts record `index` of the current list on the tile, or hides the tile past the end.
void CImageContainer::FillTile(CSingleImage* tile, int index) {
    bool filled = false;
    switch (Mode()) {
    case ListMode::Search: {
        auto pictures = lists.searchPictures.Read();
        if (index < static_cast<int>(pictures->size())) {
            const SearchPicture& p = (*pictures)[index];
            tile->SetPicture(p.yuntuUrl, p.imageId, lists.CurrentSelection().keyword, p.imageSource, true);
            filled = true;
        }
        break;
    }
    case ListMode::Category: {
        auto pictures = lists.categoryPictures.Read();
        if (index < static_cast<int>(pictures->size())) {
            const CategoryPicture& p = (*pictures)[index];
            tile->SetPicture(p.imageUrl, p.imageId, ToWide(lists.CurrentSelection().categoryId, CP_ACP),
                             p.imageSource, false);
            filled = true;
        }
        break;
    }
    case ListMode::Recent:
        if (index < static_cast<int>(lists.recentPictures.size())) {
            const RecentPicture& p = lists.recentPictures[index];
            tile->SetPicture(p.imageUrl, p.imageId, ToWide(lists.CurrentSelection().categoryId, CP_UTF8), "-1", false);
            filled = true;
        }
        break;
    }
    if (filled) {
        tile->SetVisible(true);
    } else {
        tile->SetVisible(false);
        tile->SetDownloadRequested(false);
    }
}

// A hidden tile shows nothing, so nothing is fetched or retried for it.
void CImageContainer::RefreshTileGroup(int group) {
    for (int i = group * kTilesPerRow; i < (group + 1) * kTilesPerRow && i < static_cast<int>(tiles.size()); i++) {
        if (tiles[i]->IsVisible()) tiles[i]->ShowPicture();
    }
}

void CImageContainer::SetGifAutoPlay(bool isStatic) {
    for (int i = 0; i < kTileCount && i < static_cast<int>(tiles.size()); i++) tiles[i]->SetAnimate(!isStatic);
}
