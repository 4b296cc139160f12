// Formats the seven statistics pings, keeps them on one locked queue and sends them
// from a single background thread, one at a time, in the order they were queued.
#include "net/Pings.h"

#include <deque>
#include <mutex>

#include "BuildConfig.h"
#include "net/Endpoints.h"
#include "net/Identity.h"
#include "net/Request.h"
#include "net/Text.h"

namespace {

std::mutex gPingQueueMutex;
// Pings the sender has taken off the queue and not finished sending (under the mutex).
int gPingsInFlight = 0;

// Built on first use, so a ping queued by load-time code still finds its queue.
std::deque<std::string>& Pending() {
    static std::deque<std::string> pending;
    return pending;
}

constexpr DWORD kIdlePollMs = 100;

// Every template starts the same way: product, view, event, then the three common values.
#define PING_PREFIX "http://%s/pv.gif?uigs_productid=zindleapp&&page_pc="
#define PING_COMMON "&id=%s&version_pc=%s&orvan_version_pc=%s"

void QueueIfFits(bool fits, std::string url) {
    if (fits) PingQueue::Push(std::move(url));
}

std::string EncodedUtf8FromAnsi(const std::string& ansi) {
    return UrlEncode(AnsiToUtf8(ansi));
}

}  // namespace

namespace PingQueue {

void Push(std::string url) {
    std::lock_guard<std::mutex> lock(gPingQueueMutex);
    Pending().push_back(std::move(url));
}

bool TakeFront(std::string* url) {
    std::lock_guard<std::mutex> lock(gPingQueueMutex);
    if (Pending().empty()) return false;
    *url = std::move(Pending().front());
    Pending().pop_front();
    return true;
}

std::vector<std::string> TakeAll() {
    std::lock_guard<std::mutex> lock(gPingQueueMutex);
    std::vector<std::string> all(Pending().begin(), Pending().end());
    Pending().clear();
    return all;
}

}  // namespace PingQueue

void PingStartup() {
    const ClientIdentity& id = Identity();
    std::string url;
    bool fits = FormatUrl(&url, PING_PREFIX "1&action_pc=1" PING_COMMON, build_config::kStatsHost,
                          id.h.c_str(), id.sdk.c_str(), id.v.c_str());
    QueueIfFits(fits, std::move(url));
}

void PingCategoryStay(const std::string& categoryId, const std::string& nameAnsi, bool fromRow,
                      double seconds) {
    const ClientIdentity& id = Identity();
    std::string url;
    bool fits = FormatUrl(&url,
                          PING_PREFIX "1&action_pc=2" PING_COMMON
                                      "&subsort_id_pc=%s&subsort_name_pc=%s&recommend_pc=%d&time_pc=%.2f",
                          build_config::kStatsHost, id.h.c_str(), id.sdk.c_str(), id.v.c_str(),
                          categoryId.c_str(), EncodedUtf8FromAnsi(nameAnsi).c_str(), fromRow ? 1 : 0,
                          seconds);
    QueueIfFits(fits, std::move(url));
}

void PingCategoryShown(const std::string& categoryId, const std::string& nameAnsi, bool fromRow) {
    const ClientIdentity& id = Identity();
    std::string url;
    bool fits = FormatUrl(&url,
                          PING_PREFIX "1&action_pc=5" PING_COMMON
                                      "&subsort_id_pc=%s&subsort_name_pc=%s&recommend_pc=%d",
                          build_config::kStatsHost, id.h.c_str(), id.sdk.c_str(), id.v.c_str(),
                          categoryId.c_str(), EncodedUtf8FromAnsi(nameAnsi).c_str(), fromRow ? 1 : 0);
    QueueIfFits(fits, std::move(url));
}

void PingPictureSentCategory(const std::string& categoryId, const std::string& pictureId,
                             const std::string& pictureSource) {
    const ClientIdentity& id = Identity();
    std::string url;
    bool fits = FormatUrl(&url, PING_PREFIX "1&action_pc=4" PING_COMMON "&subsort_id_pc=%s&pic_id_pc=%s&pic_type_pc=%s",
                          build_config::kStatsHost, id.h.c_str(), id.sdk.c_str(), id.v.c_str(),
                          categoryId.c_str(), pictureId.c_str(), pictureSource.c_str());
    QueueIfFits(fits, std::move(url));
}

void PingPictureSentSearch(const std::string& keywordUtf8, const std::string& pictureId,
                           const std::string& pictureSource) {
    const ClientIdentity& id = Identity();
    std::string url;
    bool fits = FormatUrl(&url, PING_PREFIX "2&action_pc=4" PING_COMMON "&search_pc=%s&pic_id_pc=%s&pic_type_pc=%s",
                          build_config::kStatsHost, id.h.c_str(), id.sdk.c_str(), id.v.c_str(),
                          UrlEncode(keywordUtf8).c_str(), pictureId.c_str(), pictureSource.c_str());
    QueueIfFits(fits, std::move(url));
}

void PingSearch(const std::string& keywordUtf8, int localHit, int otherHit) {
    const ClientIdentity& id = Identity();
    std::string url;
    bool fits = FormatUrl(&url, PING_PREFIX "2&action_pc=3" PING_COMMON "&search_pc=%s%s%s",
                          build_config::kStatsHost, id.h.c_str(), id.sdk.c_str(), id.v.c_str(),
                          UrlEncode(keywordUtf8).c_str(), localHit == 1 ? "&aimed=1" : "",
                          otherHit == 1 ? "&aimed=2" : "");
    QueueIfFits(fits, std::move(url));
}

void PingGifAutoPlay(int pageCode, bool autoPlay) {
    const ClientIdentity& id = Identity();
    std::string url;
    bool fits = FormatUrl(&url, "http://%s/pv.gif?uigs_productid=zindleapp&&page_pc=%d&action_pc=6" PING_COMMON
                                "&gif_auto_play_pc=%d",
                          build_config::kStatsHost, pageCode, id.h.c_str(), id.sdk.c_str(),
                          id.v.c_str(), autoPlay ? 1 : 0);
    QueueIfFits(fits, std::move(url));
}

double StaySeconds(DWORD startTick, DWORD nowTick) {
    DWORD elapsed = nowTick - startTick;  // unsigned: right across the wrap
    return static_cast<double>(elapsed) / 1000.0;
}

namespace {

bool TakeForSending(std::string* url) {
    std::lock_guard<std::mutex> lock(gPingQueueMutex);
    if (Pending().empty()) return false;
    *url = std::move(Pending().front());
    Pending().pop_front();
    gPingsInFlight++;
    return true;
}

void SentOne() {
    std::lock_guard<std::mutex> lock(gPingQueueMutex);
    gPingsInFlight--;
}

bool AllSent() {
    std::lock_guard<std::mutex> lock(gPingQueueMutex);
    return Pending().empty() && gPingsInFlight == 0;
}

}  // namespace

void PingSender() {
    // What was queued before this thread first ran (the start-up ping) is sent, not dropped.
    for (;;) {
        std::string url;
        while (TakeForSending(&url)) {
            SendRequest(url.c_str(), "POST");
            SentOne();
        }
        Sleep(kIdlePollMs);
    }
}

bool WaitForPingsSent(DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (AllSent()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}
