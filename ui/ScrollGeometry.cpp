// Page arithmetic of the grid scroll bar. The track's range is split into lastPage steps
// (the first longStepCount of them one unit longer than the rest), so that they add up
// to the whole range exactly and the last page lands on value 0.
#include "ui/ScrollGeometry.h"

#include <algorithm>

namespace {

// Beyond this many page steps a step would be shorter than one unit (and the thumb
// thinner than one pixel): the list counts as crowded.
constexpr int kMaxUnitSteps = kTrackLength - 1;

int Clamp(int page, const PageSteps& steps) {
    return std::clamp(page, 0, steps.lastPage);
}

}  // namespace

int LastPageFor(int count) {
    if (count <= 0) return 0;
    int q = count / kTilesPerPage;
    return count % kTilesPerPage == 0 ? q - 1 : q;
}

PageSteps PageStepsFor(int count) {
    PageSteps steps;
    steps.lastPage = LastPageFor(count);
    if (steps.lastPage <= 0) {
        steps.lastPage = 0;
        return steps;  // one page: thumb over the whole track, range 0
    }
    steps.singlePage = false;
    if (steps.lastPage > kMaxUnitSteps) {
        steps.crowded = true;
        steps.thumb = 1;
        steps.range = kTrackLength - steps.thumb;
        return steps;
    }
    steps.thumb = kTrackLength / (steps.lastPage + 1);
    steps.range = kTrackLength - steps.thumb;
    steps.longStepCount = steps.range % steps.lastPage;
    steps.longStep = steps.range / steps.lastPage + 1;
    return steps;
}

int PageOffset(const PageSteps& steps, int page) {
    if (steps.singlePage) return 0;
    if (steps.crowded) {
        long long p = Clamp(page, steps);
        return static_cast<int>(p * steps.range / steps.lastPage);
    }
    if (page > steps.longStepCount)
        return steps.longStep * steps.longStepCount + (page - steps.longStepCount) * (steps.longStep - 1);
    return page * steps.longStep;
}

int ValueToPage(const PageSteps& steps, int value) {
    if (steps.singlePage) return 0;
    int r = std::clamp(steps.range - value, 0, steps.range);
    if (steps.crowded) {
        long long nearest = (2LL * r * steps.lastPage + steps.range) / (2LL * steps.range);
        return Clamp(static_cast<int>(nearest), steps);
    }
    // Both roundings compare with half the long step.
    int half = steps.longStep / 2;
    if (r / steps.longStep < steps.longStepCount) {
        int page = r / steps.longStep + (r % steps.longStep > half ? 1 : 0);
        return Clamp(page, steps);
    }
    int s = r - steps.longStep * steps.longStepCount;
    int shortStep = steps.longStep - 1;
    int page = steps.longStepCount + s / shortStep + (s % shortStep > half ? 1 : 0);
    return Clamp(page, steps);
}
