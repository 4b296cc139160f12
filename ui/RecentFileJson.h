// The recent-list file's JSON read as it is stored, without any conversion: its texts
// stay the file's own bytes (UTF-8 when this program wrote them). RecentFile converts.
#pragma once
#include <string>
#include <vector>

#include "ui/PictureRecords.h"

// Appends the entries of {"data": [{"imageId", "imageUrl"}...], "gif_auto_play": n} in file
// order (no limit, no de-duplication) and sets *gifAutoPlay when that is an integer. A
// malformed text leaves both untouched; a "data" that is no array adds nothing. An entry
// whose members are not texts (or integers) gets empty ones.
void ReadRecentFileJson(const std::string& text, std::vector<RecentPicture>* recent, int* gifAutoPlay);
