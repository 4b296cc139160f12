// What every fuzz target shares: a check that ends the run as a finding, and the input
// as a string.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A broken promise of the decoder under test: libFuzzer reports the abort and keeps the input.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

inline std::string FuzzInput(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}
