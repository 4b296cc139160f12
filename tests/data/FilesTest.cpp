// Local folders and whole files: cache paths and hostile names, the data folder and its
// fallback, reading up to a NUL, and rewriting hidden files.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <string>

#include "delivery/Files.h"
#include "tests/data/TestFolders.h"

TEST(Files, TempFolderPathEndsWithZindleAndJoinsWithoutSeparator) {
    std::wstring folder = TempFolderPath("");
    ASSERT_GE(folder.size(), 7u);
    EXPECT_EQ(L"Zindle\\", folder.substr(folder.size() - 7));
    EXPECT_TRUE(PathIsDirectoryW(folder.c_str()));
    EXPECT_EQ(folder + L"0a1b2c3d", TempFolderPath("0a1b2c3d"));
    EXPECT_EQ(folder + L"x.gif", TempFolderPath("x.gif"));
    // Code page 936 names: one whose second byte is 0x5C ("\") is still one plain name.
    EXPECT_EQ(folder + L"\u8868\u60C5", TempFolderPath("\xB1\xED\xC7\xE9"));
    EXPECT_EQ(folder + L"\u4E57", TempFolderPath("\x81\x5C"));
}

// A server-supplied id that is not a plain file name gets no cache path at all.
TEST(Files, HostileNamesGetNoCachePath) {
    const std::string hostile[] = {
        "..\\..\\x", "../x", "C:\\x", "C:x", "a:stream", "a/b", "a\\b", "..", ".", "...", "con", "CON", "nul.txt",
        "Aux", "com1", "LPT9.gif", "prn .x", "a\x01" "b", "a\tb", "x.", "x ", "a*b", "a?b", "a|b", "a<b", "a>b", "a\"b",
        std::string("a\0b", 3), std::string(300, 'a'),
    };
    for (const std::string& name : hostile) {
        EXPECT_EQ(L"", TempFolderPath(name)) << name;
    }
    for (const char* fine : {"console", "com10", "lpt", "a.b.c", "-1", "a..b"}) {
        EXPECT_NE(L"", TempFolderPath(fine)) << fine;
    }
}

namespace {
HRESULT WINAPI NoCommonAppData(HWND, int, HANDLE, DWORD, LPWSTR) {
    return E_FAIL;
}
}  // namespace

TEST(Files, DataFolderPathCreatesEveryLevel) {
    const std::wstring name = L"ZindleDataTest";
    std::wstring path = DataFolderPath(name);
    EXPECT_TRUE(PathIsDirectoryW(path.c_str()));
    EXPECT_EQ(L"\\OrvanInput\\Components\\ZindleDataTest", path.substr(path.size() - 37));
    RemoveDirectoryW(path.c_str());

    // With no common application-data folder known, C:\ProgramData stands in.
    std::wstring fallback = DataFolderPath(name, NoCommonAppData);
    EXPECT_EQ(L"C:\\ProgramData\\OrvanInput\\Components\\ZindleDataTest", fallback);
    EXPECT_TRUE(PathIsDirectoryW(fallback.c_str()));
    RemoveDirectoryW(fallback.c_str());
}

TEST(Files, ReadWholeFileStopsAtTheFirstNul) {
    ScratchFolder scratch(L"zindle-files");
    std::wstring path = scratch.File(L"text");
    ASSERT_TRUE(WriteWholeFile(path, "abc\0def", 7));
    size_t count = 0;
    EXPECT_EQ("abc", ReadWholeFile(path, &count));
    EXPECT_EQ(7u, count);

    ASSERT_TRUE(WriteWholeFile(path, "plain text", 0));  // 0: a NUL-terminated text
    EXPECT_EQ("plain text", ReadWholeFile(path, &count));
    EXPECT_EQ(10u, count);

    EXPECT_EQ("", ReadWholeFile(scratch.File(L"missing"), &count));
    EXPECT_EQ(0u, count);
    EXPECT_FALSE(WriteWholeFile(scratch.File(L"no folder\\x"), "x", 1));
}

TEST(Files, RewritingAHiddenFileKeepsItHidden) {
    ScratchFolder scratch(L"zindle-files");
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    struct Writer {
        const char* name;
        bool (*write)(const std::wstring& path, const std::string& bytes);
    } writers[] = {
        {"WriteWholeFile", [](const std::wstring& p, const std::string& b) {
             return WriteWholeFile(p, b.data(), static_cast<int>(b.size()));
         }},
        {"ReplaceWholeFile", ReplaceWholeFile},
    };
    for (const Writer& w : writers) {
        std::wstring path = scratch.File(L"common");
        ASSERT_TRUE(WriteWholeFile(path, "old content", 0));
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), kept));
        EXPECT_TRUE(w.write(path, "new")) << w.name;
        EXPECT_EQ("new", FileBytes(path)) << w.name;
        EXPECT_EQ(kept, GetFileAttributesW(path.c_str()) & kept) << w.name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}

TEST(Files, ReplaceWholeFileWritesTheFirstCopyAndLeavesNothingBeside) {
    ScratchFolder scratch(L"zindle-files");
    std::wstring path = scratch.File(L"common");
    ASSERT_TRUE(ReplaceWholeFile(path, std::string("first\0copy", 10)));
    EXPECT_EQ(std::string("first\0copy", 10), FileBytes(path));
    ASSERT_TRUE(ReplaceWholeFile(path, "second"));
    EXPECT_EQ("second", FileBytes(path));
    EXPECT_FALSE(PathFileExistsW((path + L".new").c_str()));
    // When the new copy cannot be written the old one stays as it was.
    CreateDirectoryW((path + L".new").c_str(), nullptr);
    EXPECT_FALSE(ReplaceWholeFile(path, "third"));
    EXPECT_EQ("second", FileBytes(path));
}
