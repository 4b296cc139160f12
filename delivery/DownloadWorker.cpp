// The row download workers: settle while the user scrolls, fetch the requested pictures
// of the row one by one (an "https://" address that fails is tried again over http),
// and post the row's refresh.
#include "delivery/DownloadWorker.h"

#include "base/DetachedThread.h"
#include "base/WindowMessages.h"
#include "delivery/Download.h"
#include "net/Text.h"

namespace {

constexpr char kHttpsPrefix[] = "https://";

// The page position once two readings in a row agree (or at the top of the list), so
// that no download starts for a page the user is scrolling past.
int SettledPagePosition(const DownloadWorkerSetup& setup, int lastReading) {
    if (!setup.pagePosition) return 0;
    for (;;) {
        int d = setup.pagePosition();
        if (d == 0 || d == lastReading) return d;
        lastReading = d;
    }
}

bool StillShows(const DownloadSlot& slot, const std::string& url, const std::wstring& path) {
    return slot.GetUrl() == url && slot.GetLocalPath() == path;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Fetches one tile's picture; true when the row should be refreshed for it.
bool FetchSlot(const DownloadWorkerSetup& setup, DownloadSlot& slot) {
    const std::string url = slot.GetUrl();
    const std::wstring path = slot.GetLocalPath();
    // Already there (fetched by another row, or by an earlier http retry): just show it.
    if (!path.empty() && FileExists(path)) return true;

    if (setup.download(ToWide(url, CP_ACP), path)) {
        // A tile given another picture meanwhile is refreshed by its own request later;
        // the file fetched here still serves this picture under its cache name.
        return StillShows(slot, url, path);
    }
    std::string retryUrl = url;
    if (retryUrl.compare(0, sizeof(kHttpsPrefix) - 1, kHttpsPrefix) == 0) retryUrl.replace(0, 6, "http:");
    if (setup.download(ToWide(retryUrl, CP_ACP), path)) {
        // The tile names the https address, so this never matches for a retried one: the
        // file shows at the row's next refresh.
        return StillShows(slot, retryUrl, path);
    }
    // Both failed: the tile counts the attempt and may ask again. A tile that shows another
    // picture by now keeps its own request; this failure is not that picture's.
    if (StillShows(slot, url, path)) slot.SetDownloadRequested(false);
    return true;
}

}  // namespace

bool DownloadRowOnce(const DownloadWorkerSetup& setup) {
    bool done = false;
    for (int i = 0; i < kTilesPerRow; i++) {
        size_t index = static_cast<size_t>(setup.group * kTilesPerRow + i);
        if (index >= setup.slots.size() || !setup.slots[index]) continue;
        DownloadSlot& slot = *setup.slots[index];
        if (!slot.IsDownloadRequested()) continue;
        if (FetchSlot(setup, slot)) done = true;
    }
    return done;
}

bool StartDownloadWorker(DownloadWorkerSetup setup) {
    if (!setup.download) {
        setup.download = [](const std::wstring& url, const std::wstring& path) { return DownloadToFile(url, path); };
    }
    return StartDetachedThread([setup]() {
        int lastReading = 0;
        int pass = 0;
        for (;;) {
            lastReading = SettledPagePosition(setup, lastReading);
            bool done = DownloadRowOnce(setup);
            HWND window = setup.notifyWindow ? setup.notifyWindow->load() : nullptr;
            if ((done || pass == 0) && window) PostMessageW(window, UM_TILE_GROUP_READY, 0, setup.group);
            pass = (pass + 1) % kPassesPerPeriodicRefresh;
            Sleep(kDownloadPollMs);
        }
    });
}
