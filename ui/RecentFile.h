// The recent-picture list: folding this run's sent pictures into it, and the "common"
// file that keeps it (with the GIF auto-play choice) between runs.
#pragma once
#include <string>
#include <vector>

#include "ui/PictureRecords.h"

// Newest first, each imageId once, at most limit entries: sessionPicks from newest
// (last) to oldest, then recent in its order.
std::vector<RecentPicture> MergeRecentPictures(const std::vector<RecentPicture>& sessionPicks,
                                               const std::vector<RecentPicture>& recent, int limit);

// The file's text: {"data": [{"imageId", "imageUrl"}...] (at most 180), "gif_auto_play"}.
std::string RecentFileText(const std::vector<RecentPicture>& recent, int gifAutoPlay);
// Reads the entries in file order (no limit, no de-duplication) and, when present,
// the GIF choice. A missing, empty or malformed file leaves both untouched. Texts come
// back from UTF-8 into the ANSI code page; one that is not UTF-8 is kept as it is.
void ParseRecentFileText(const std::string& text, std::vector<RecentPicture>* recent, int* gifAutoPlay);

void LoadRecentFile(const std::wstring& path, std::vector<RecentPicture>* recent, int* gifAutoPlay);
// Replaces the file only after the new content is completely written.
bool SaveRecentFile(const std::wstring& path, const std::vector<RecentPicture>& recent, int gifAutoPlay);
