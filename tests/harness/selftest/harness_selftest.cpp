// Proves the harness itself: the ANSI code page is 936 and a test that crashes fails.
#include <windows.h>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "crash") == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
        return 0;
    }
    UINT acp = GetACP();
    std::printf("ANSI code page %u\n", acp);
    std::printf("%s\n", acp == 936 ? "1 passed, 0 failed" : "0 passed, 1 failed");
    return acp == 936 ? 0 : 1;
}
