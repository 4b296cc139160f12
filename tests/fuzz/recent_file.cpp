// The recent-list file as it lies on disk (UTF-8 JSON when the program wrote it).
#include "tests/fuzz/FuzzCheck.h"
#include "ui/RecentFileJson.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = FuzzInput(data, size);
    std::vector<RecentPicture> recent = {{"kept", "kept"}};
    int gifAutoPlay = -7;
    ReadRecentFileJson(input, &recent, &gifAutoPlay);
    // Entries are appended after what the list held.
    FUZZ_CHECK(!recent.empty() && recent[0].imageId == "kept");
    FUZZ_CHECK(recent.size() - 1 <= input.size());
    for (const RecentPicture& r : recent) FUZZ_CHECK(r.imageId.size() + r.imageUrl.size() <= input.size() + 8);
    return 0;
}
