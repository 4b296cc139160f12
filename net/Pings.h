// Usage pings to the statistics endpoint: builders format one URL each and queue it
// (UI thread, no network); one sender thread sends the queue in order and ignores replies.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// Process-wide FIFO of complete ping URLs under its own mutex (the statistics queue lock).
namespace PingQueue {
void Push(std::string url);
// Removes the front entry into *url; false when the queue is empty.
bool TakeFront(std::string* url);
// Removes and returns everything queued, oldest first (tests and tools).
std::vector<std::string> TakeAll();
}  // namespace PingQueue

// Each formats its URL and queues it; a URL that would not fit 2048 bytes is dropped.
void PingStartup();
// nameAnsi: category name in the ANSI code page; fromRow: picked from the category row.
void PingCategoryStay(const std::string& categoryId, const std::string& nameAnsi, bool fromRow,
                      double seconds);
void PingCategoryShown(const std::string& categoryId, const std::string& nameAnsi, bool fromRow);
void PingPictureSentCategory(const std::string& categoryId, const std::string& pictureId,
                             const std::string& pictureSource);
void PingPictureSentSearch(const std::string& keywordUtf8, const std::string& pictureId,
                           const std::string& pictureSource);
// localHit/otherHit: the search reply's "aimedLocal"/"aimedMicrosoft"; only 1 counts as a hit.
void PingSearch(const std::string& keywordUtf8, int localHit, int otherHit);
// pageCode: 1 category or recent view, 2 search view.
void PingGifAutoPlay(int pageCode, bool autoPlay);

// A stay in seconds from two GetTickCount readings; right across the counter's 49.7-day wrap.
double StaySeconds(DWORD startTick, DWORD nowTick);

// The sender thread's body: never returns. Sends whatever was queued before it started too.
void PingSender();
// Waits until every queued ping has been sent (answered or failed), at most timeoutMs.
// The program calls it on its way out, so the last pings (the dwell time) are not lost
// with the process. False when pings were still waiting at the time-out.
bool WaitForPingsSent(DWORD timeoutMs);
