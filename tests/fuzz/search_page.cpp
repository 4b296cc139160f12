// A search page reply, as the channel hands it on (code page 936 text).
#include "tests/fuzz/FuzzCheck.h"
#include "ui/PageReplies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = FuzzInput(data, size);
    SearchPageReply page = ReadSearchPage(input);
    if (!page.ok) {
        FUZZ_CHECK(!page.promisesMore && page.aimedLocal == 0 && page.aimedMicrosoft == 0 && page.pictures.empty());
        return 0;
    }
    FUZZ_CHECK(page.pictures.size() <= input.size());
    for (const SearchPicture& p : page.pictures) {
        size_t bytes = p.imageHeight.size() + p.imageSource.size() + p.tags.size() + p.sourceDomain.size() +
                       p.imageId.size() + p.yuntuUrl.size();
        FUZZ_CHECK(bytes <= input.size());
    }
    return 0;
}
