// The category-list reply, as the channel hands it on (code page 936 text).
#include "tests/fuzz/FuzzCheck.h"
#include "ui/CategoryList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = FuzzInput(data, size);
    std::vector<ServerCategory> categories = {{"untouched", "untouched"}};
    if (!ReadCategoryList(input, &categories)) {
        FUZZ_CHECK(categories.size() == 1 && categories[0].id == "untouched");
        return 0;
    }
    // Every category comes from an element of the reply, so there are never more of them
    // than the reply has bytes.
    FUZZ_CHECK(categories.size() <= input.size());
    for (const ServerCategory& c : categories) FUZZ_CHECK(c.id.size() + c.name.size() <= input.size());
    return 0;
}
