// The grid scroll bar's arithmetic: how a list of records is split into screen pages of
// 18, and how the track's slider units map to those pages. Values run downwards: the
// top page sits at the slider's maximum, the last page at 0.
#pragma once

constexpr int kTilesPerPage = 18;
// The track is this many slider units (and pixels) long.
constexpr int kTrackLength = 385;

struct PageSteps {
    int lastPage = 0;       // index of the last screen page
    bool singlePage = true; // the list fits one page: paging is off
    int thumb = kTrackLength;
    int range = 0;          // the slider's maximum
    int longStep = 1;
    int longStepCount = 0;  // the first this many page steps measure longStep, the rest one less
    // More pages than the track has units (several thousand records): pages share units,
    // placed in proportion, and the thumb keeps one pixel.
    bool crowded = false;
};

// The last page index of a list of count records (0 for 0 to 18 records).
int LastPageFor(int count);
PageSteps PageStepsFor(int count);
// Distance in slider units from the top position to page p's position.
int PageOffset(const PageSteps& steps, int page);
// The page whose position lies nearest to value (a tie goes to the upper page),
// always within 0..lastPage.
int ValueToPage(const PageSteps& steps, int value);
