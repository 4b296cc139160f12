// The components folder found from the program's own path.
#include <gtest/gtest.h>

#include <string>

#include "app/ComponentsFolder.h"

namespace {

struct Case {
    const wchar_t* modulePath;
    const wchar_t* folder;
};

TEST(ComponentsFolder, FromModulePath) {
    const std::wstring longDir(250, L'a');
    const std::wstring tooLong = L"C:\\" + longDir + L"\\components\\x.exe";
    const Case cases[] = {
        // Matched without regard to case; the path keeps its own letter case.
        {L"D:\\Apps\\COMPONENTS\\Zindle\\bin\\x.exe", L"D:\\Apps\\COMPONENTS\\"},
        {L"C:\\Program Files\\Orvan\\Components\\Zindle\\Zindle.exe", L"C:\\Program Files\\Orvan\\Components\\"},
        // The first occurrence counts, and the cut comes right after the matched text.
        {L"C:\\Components\\a\\Components\\Zindle.exe", L"C:\\Components\\"},
        // Only a whole folder name matches: a longer name is some other folder.
        {L"C:\\ComponentsOld\\Zindle.exe", L""},
        {L"C:\\ComponentsOld\\Components\\Zindle.exe", L"C:\\ComponentsOld\\Components\\"},
        // No "\Components": nothing to change.
        {L"C:\\Program Files\\Zindle\\Zindle.exe", L""},
        {L"Components\\Zindle.exe", L""},
        {L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComponentsFolderFromModulePath(c.modulePath), c.folder) << c.modulePath;
    }
    EXPECT_EQ(ComponentsFolderFromModulePath(nullptr), L"");
    // A folder that would not fit the 260-unit buffer with its backslash is refused.
    EXPECT_EQ(ComponentsFolderFromModulePath(tooLong.c_str()), L"");
}

}  // namespace
