// The three download workers, one per grid row of six tiles. A tile whose picture is not
// in the cache raises its request flag; the row's worker polls the flags, fetches the
// pictures one after another and tells the main window which row to refresh.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// What a worker needs of one tile. The getters return copies taken under the tile-state
// lock, so a worker never sees a string the UI thread is rewriting.
class DownloadSlot {
public:
    virtual std::string GetUrl() const = 0;
    virtual std::wstring GetLocalPath() const = 0;
    // Read without a lock (an atomic flag); written under the tile-state lock.
    virtual bool IsDownloadRequested() const = 0;
    virtual void SetDownloadRequested(bool value) = 0;

protected:
    ~DownloadSlot() = default;
};

constexpr int kTilesPerRow = 6;
constexpr int kTileRows = 3;
constexpr DWORD kDownloadPollMs = 200;
// A row posts a refresh at least every this many passes, even when nothing finished.
constexpr int kPassesPerPeriodicRefresh = 5;

struct DownloadWorkerSetup {
    std::vector<DownloadSlot*> slots;  // all tiles; the worker serves 6·group .. 6·group+5
    int group = 0;
    // Where UM_TILE_GROUP_READY goes (the main window, once it exists).
    const std::atomic<HWND>* notifyWindow = nullptr;
    // The scroll bar's page position, (maximum − value) div longStep; any thread.
    std::function<int()> pagePosition;
    // The fetch itself; DownloadToFile unless a test puts another in.
    std::function<bool(const std::wstring& url, const std::wstring& path)> download;
};

// Starts the row's worker on a detached thread that runs until the process ends.
// False when no thread could be made (the row then never loads a picture).
bool StartDownloadWorker(DownloadWorkerSetup setup);

// One pass over the row (the worker's body calls it every kDownloadPollMs): fetches
// every requested picture and returns true when one of them finished or failed, that is
// when the row should be refreshed at once.
bool DownloadRowOnce(const DownloadWorkerSetup& setup);
