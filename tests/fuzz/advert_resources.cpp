// The advertisement's "resources" text: the files its window needs.
#include "advert/AdvertReply.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = FuzzInput(data, size);
    std::vector<AdvertResource> resources = ParseAdvertResources(input);
    FUZZ_CHECK(resources.size() <= input.size());
    for (const AdvertResource& r : resources) FUZZ_CHECK(r.url.size() + r.name.size() <= input.size());
    return 0;
}
