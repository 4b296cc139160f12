// A stand-in for the input method's host object: a table of 51 functions behind its
// first member. Slot 8 answers a path, slot 50 records unload notices, every other
// slot records that it was called (the plug-in has no business there).
#pragma once
#include <string>
#include <vector>

struct FakeHost {
    void* const* table;
    std::wstring installPath;  // what slot 8 writes
    bool answerPath = true;    // what slot 8 returns
    std::vector<int> pathBufferUnits;
    std::vector<std::wstring> unloadNotices;
    std::vector<int> otherSlotsCalled;

    FakeHost();
    // The object as the plug-in receives it.
    void* Object() { return this; }
};

constexpr int kHostSlots = 51;
