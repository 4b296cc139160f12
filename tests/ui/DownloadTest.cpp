// Downloads from the local content service: a picture arrives whole under its name;
// an error answer, a page that is no picture, an empty body, an https address on the plain
// port, a refused connection and a deadline that passes leave nothing behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "delivery/Download.h"

namespace {

std::wstring ServiceUrl(const wchar_t* scheme, const wchar_t* path) {
    const char* port = getenv("ZINDLE_TUNNEL_PORT");
    std::wstring url = scheme;
    url += L"://127.0.0.1:";
    url += std::wstring(port, port + strlen(port));
    return url + path;
}

std::wstring ScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"zindle-download-test";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// Every file name in the folder.
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

void EmptyFolder(const std::wstring& folder) {
    for (const std::wstring& name : FilesIn(folder)) DeleteFileW((folder + L"\\" + name).c_str());
}

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

TEST(Download, APictureArrivesWholeUnderItsName) {
    std::wstring folder = ScratchFolder();
    EmptyFolder(folder);
    std::wstring path = folder + L"\\101_0001.gif";
    ASSERT_TRUE(DownloadToFile(ServiceUrl(L"http", L"/pics/blink.gif"), path));
    std::string bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 6u);
    EXPECT_EQ(bytes.compare(0, 6, "GIF89a"), 0);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"101_0001.gif"});
    // A later download of the same picture replaces it as a whole.
    ASSERT_TRUE(DownloadToFile(ServiceUrl(L"http", L"/pics/blink.gif"), path));
    EXPECT_EQ(ReadAll(path), bytes);
}

TEST(Download, FailuresLeaveNothingBehind) {
    const struct {
        const char* name;
        std::wstring url;
        DownloadContent content;
    } cases[] = {
        {"404", ServiceUrl(L"http", L"/gone/x.png"), DownloadContent::Picture},
        {"404 of any content", ServiceUrl(L"http", L"/gone/x.png"), DownloadContent::Any},
        {"a page, not a picture", ServiceUrl(L"http", L"/pics/page.html"), DownloadContent::Picture},
        {"an empty body", ServiceUrl(L"http", L"/pics/empty.png"), DownloadContent::Any},
        {"https on the plain port", ServiceUrl(L"https", L"/pics/blink.gif"), DownloadContent::Picture},
        {"nobody listening", L"http://127.0.0.1:1/pics/blink.gif", DownloadContent::Picture},
        {"not a URL", L"pics/blink.gif", DownloadContent::Picture},
        {"another scheme", L"ftp://127.0.0.1/blink.gif", DownloadContent::Picture},
    };
    std::wstring folder = ScratchFolder();
    for (const auto& c : cases) {
        EmptyFolder(folder);
        DWORD start = GetTickCount();
        EXPECT_FALSE(DownloadToFile(c.url, folder + L"\\picture", c.content)) << c.name;
        EXPECT_LT(GetTickCount() - start, 10000u) << c.name;
        EXPECT_TRUE(FilesIn(folder).empty()) << c.name;
    }
    // A page is fine where any content is wanted.
    EmptyFolder(folder);
    EXPECT_TRUE(DownloadToFile(ServiceUrl(L"http", L"/pics/page.html"), folder + L"\\page", DownloadContent::Any));
}

// A server that takes longer than the whole download may: the download gives up at its
// deadline (here 1 s against the service's 3 s delay) and keeps nothing.
TEST(Download, TheDeadlineEndsASlowTransfer) {
    std::wstring folder = ScratchFolder();
    EmptyFolder(folder);
    DWORD start = GetTickCount();
    EXPECT_FALSE(DownloadToFile(ServiceUrl(L"http", L"/slow/blink.gif"), folder + L"\\slow", DownloadContent::Picture, 1000));
    EXPECT_LT(GetTickCount() - start, 8000u);
    EXPECT_TRUE(FilesIn(folder).empty());
    EXPECT_TRUE(DownloadToFile(ServiceUrl(L"http", L"/slow/blink.gif"), folder + L"\\slow"));
}

TEST(Download, PictureSignatures) {
    const struct {
        std::string bytes;
        bool picture;
    } cases[] = {
        {"GIF89a....", true}, {"GIF87a", true}, {std::string("\x89PNG\r\n\x1a\n", 8), true},
        {"\xFF\xD8\xFF\xE0", true}, {"BM......", true}, {std::string("II*\0", 4), true},
        {std::string("\0\0\1\0", 4), true}, {"<html><body>404</body></html>", false}, {"GIF8", false},
        {"", false}, {"{\"status\":1}", false},
    };
    for (const auto& c : cases) EXPECT_EQ(LooksLikePicture(c.bytes.data(), c.bytes.size()), c.picture) << c.bytes;
}

}  // namespace
