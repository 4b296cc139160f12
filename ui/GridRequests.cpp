// The grid's list requests: what the user selects is queued (a new choice replaces a
// waiting one), one worker thread polls the queue and runs the fetch, and the recent
// list, which needs no request, is shown at once.
#include "ui/ImageContainer.h"

#include <mutex>

#include "base/DetachedThread.h"
#include "ui/ImageScrollBar.h"

namespace {

// Guards the request queue and its serial; held only around queue changes, never
// across a fetch.
std::mutex requestLock;
constexpr DWORD kRequestPollMs = 100;

}  // namespace

void CImageContainer::SelectCategory(bool fromRow, const std::string& id, const std::wstring& name) {
    if (Mode() == ListMode::Category && id == lists.CurrentSelection().categoryId && online) return;
    lists.SelectCategory(fromRow, id, name);
    lists.newList = true;
    if (id == kRecentCategoryId) {
        // The recent list is local: a category or search still waiting is not wanted now.
        DropQueuedRequest();
        bool wasRecent = Mode() == ListMode::Recent;
        lists.BeginRecentView();
        if (!wasRecent) ShowRecent();
        return;
    }
    QueueRequest(kCategoryRequest);
}

void CImageContainer::StartSearch(const std::wstring& keyword) {
    if (Mode() == ListMode::Search && keyword == lists.CurrentSelection().keyword && online) return;
    lists.SelectKeyword(keyword);
    lists.newList = true;
    QueueRequest(kSearchRequest);
}

void CImageContainer::QueueRequest(int kind) {
    {
        std::lock_guard<std::mutex> lock(requestLock);
        requestQueue.clear();
        requestQueue.push_back(kind);
        requestSerial++;
    }
    ShowLoading();
}

void CImageContainer::DropQueuedRequest() {
    std::lock_guard<std::mutex> lock(requestLock);
    requestQueue.clear();
    requestSerial++;
}

bool CImageContainer::HasQueuedRequest() const {
    std::lock_guard<std::mutex> lock(requestLock);
    return !requestQueue.empty();
}

bool CImageContainer::IsStaleResult() const {
    std::lock_guard<std::mutex> lock(requestLock);
    return fetchSerial.load() != requestSerial;
}

void CImageContainer::Refresh() {
    if (HasQueuedRequest()) return;
    // The recent list comes from the cache, not the server: show it again.
    if (Mode() == ListMode::Recent) {
        ShowRecent();
        return;
    }
    QueueRequest(lists.mode);
}

void CImageContainer::RequestMore() {
    std::lock_guard<std::mutex> lock(requestLock);
    if ((lists.newList && !requestQueue.empty()) || !lists.moreAvailable) return;
    lists.newList = false;
    requestQueue.clear();
    ListMode mode = Mode();
    if (mode == ListMode::Search || mode == ListMode::Category) {
        requestQueue.push_back(static_cast<int>(mode));
        requestSerial++;
    }
}

void CImageContainer::StartRequestWorker() {
    StartDetachedThread([this] {
        for (;;) {
            int kind = 0;
            if (workerEnabled && TakeRequest(&kind)) RunRequest(kind);
            Sleep(kRequestPollMs);
        }
    });
}

// Worker thread.
bool CImageContainer::TakeRequest(int* kind) {
    std::lock_guard<std::mutex> lock(requestLock);
    if (requestQueue.empty()) return false;
    *kind = requestQueue.front();
    requestQueue.pop_front();
    fetchSerial = requestSerial;
    return true;
}

// Worker thread. Whether it starts a new list is read now, not when it was queued.
void CImageContainer::RunRequest(int kind) {
    bool startsNewList = lists.newList;
    PictureLists::Selection selection = lists.CurrentSelection();
    if (kind == kSearchRequest) lists.FetchSearchPages(startsNewList, selection.keyword);
    else lists.FetchCategoryPages(startsNewList, selection.categoryId);
}

void CImageContainer::AddSessionPick(const std::string& imageId, const std::string& imageUrl) {
    lists.AddSessionPick(imageId, imageUrl);
}

bool CImageContainer::SaveRecent() {
    return lists.SaveRecent();
}

void CImageContainer::SendDwellTime() {
    lists.SendDwellTime();
}
