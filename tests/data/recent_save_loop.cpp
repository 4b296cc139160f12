// recent_save_loop FILE: saves two recent lists into FILE in turn, as fast as it can,
// until it is killed. The kill test stops it at random moments and then reads FILE.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/RecentFile.h"

namespace {

std::vector<RecentPicture> ListOf(const char* prefix, int count) {
    std::vector<RecentPicture> list;
    for (int i = 0; i < count; i++) {
        std::string id = prefix + std::to_string(i) + ".gif";
        list.push_back({id, "http://127.0.0.1/pics/" + id});
    }
    return list;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const std::vector<RecentPicture> a = ListOf("a", 180), b = ListOf("b", 50);
    if (!SaveRecentFile(argv[1], a, 0)) return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    for (unsigned n = 0;; n++) SaveRecentFile(argv[1], n % 2 ? a : b, n % 2 ? 0 : 1);
}
