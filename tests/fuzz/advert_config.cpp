// The advertisement configuration reply (code page 936 text), and the "resources" text it
// carries read the way the link button reads it.
#include "advert/AdvertReply.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = FuzzInput(data, size);
    AdvertReply advert;
    advert.mode = "untouched";
    if (!ReadAdvertReply(input, &advert)) {
        FUZZ_CHECK(advert.mode == "untouched" && !advert.hasItem);
        return 0;
    }
    if (!advert.hasItem) FUZZ_CHECK(!advert.openInBrowser && advert.url.empty() && advert.name.empty());
    // A link needs no files and no layout: they are never read for one.
    if (advert.openInBrowser) FUZZ_CHECK(advert.resources.empty() && advert.xml.empty());
    FUZZ_CHECK(advert.mode.size() + advert.url.size() + advert.name.size() + advert.resources.size() +
                   advert.xml.size() <= input.size());
    std::vector<AdvertResource> resources = ParseAdvertResources(advert.resources);
    FUZZ_CHECK(resources.size() <= advert.resources.size());
    return 0;
}
