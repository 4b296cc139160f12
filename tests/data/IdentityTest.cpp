// Client identity: the machine id's formatting, registry value kinds, the real
// Devmark.dll load path; and the content URLs built from the identity.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BuildConfig.h"
#include "net/Endpoints.h"
#include "net/Identity.h"
#include "tests/data/TestFolders.h"

namespace {

const wchar_t kTestKey[] = L"SOFTWARE\\ZindleDataTests";

void SetValue(const wchar_t* subKey, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                             &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

void SetText(const wchar_t* subKey, const wchar_t* name, const std::wstring& text) {
    SetValue(subKey, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The input method's key as this machine had it; put back when the test ends.
class ImeKeyGuard {
public:
    ImeKeyGuard()
        : folder_(ReadRegString(kImeRegistryKey, nullptr)), version_(ReadRegString(kImeRegistryKey, L"Version")) {}
    ~ImeKeyGuard() {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kImeRegistryKey);
        if (!folder_.empty()) SetText(kImeRegistryKey, nullptr, folder_);
        if (!version_.empty()) SetText(kImeRegistryKey, L"Version", version_);
    }

private:
    std::wstring folder_;
    std::wstring version_;
};

std::string DevmarkDirect() {
    HMODULE dll = LoadLibraryW((ProgramFolder() + L"Devmark.dll").c_str());
    if (!dll) return "no Devmark.dll beside the test";
    auto gen = reinterpret_cast<void(__cdecl*)(unsigned char*)>(
        reinterpret_cast<void*>(GetProcAddress(dll, "GenHWID")));
    unsigned char bytes[16] = {};
    if (gen) gen(bytes);
    FreeLibrary(dll);
    return gen ? FormatMachineId(bytes) : "no GenHWID export";
}

}  // namespace

TEST(Identity, MachineIdWritesTheSecondWordTwiceAndDropsTheThird) {
    const unsigned char bytes[16] = {0x01, 0, 0, 0, 0xAB, 0, 0, 0, 0x12, 0, 0, 0, 0xFF, 0, 0, 0};
    EXPECT_EQ("00000001000000AB000000AB000000FF", FormatMachineId(bytes));
    const unsigned char high[16] = {0x78, 0x56, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x90, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ("1234567890ABCDEF90ABCDEFFFFFFFFF", FormatMachineId(high));
}

TEST(Identity, ReadRegStringReadsOnlyStringKinds) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKey);
    const wchar_t multi[] = L"first\0second\0";
    const DWORD number = 7;
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    std::wstring long3000(3000, L'x');
    SetText(kTestKey, nullptr, L"the default");
    SetText(kTestKey, L"sz", L"C:\\Orvan");
    SetValue(kTestKey, L"expand", REG_EXPAND_SZ, L"%TEMP%\\x", sizeof(L"%TEMP%\\x"));
    SetValue(kTestKey, L"multi", REG_MULTI_SZ, multi, sizeof(multi));
    SetValue(kTestKey, L"dword", REG_DWORD, &number, sizeof(number));
    SetValue(kTestKey, L"binary", REG_BINARY, "ab\0c", 4);
    SetValue(kTestKey, L"unterminated", REG_SZ, unterminated, sizeof(unterminated));
    SetValue(kTestKey, L"nul inside", REG_SZ, L"ab\0cd", sizeof(L"ab\0cd"));
    SetText(kTestKey, L"long", long3000);

    struct Case {
        const wchar_t* key;
        const wchar_t* name;
        std::wstring expected;
    } cases[] = {
        {kTestKey, nullptr, L"the default"},
        {kTestKey, L"sz", L"C:\\Orvan"},
        {kTestKey, L"expand", L"%TEMP%\\x"},  // not expanded
        {kTestKey, L"multi", L"first"},
        {kTestKey, L"dword", L""},
        {kTestKey, L"binary", L""},
        {kTestKey, L"unterminated", L"abc"},
        {kTestKey, L"nul inside", L"ab"},
        {kTestKey, L"long", long3000},  // beyond the 2048-byte buffer
        {kTestKey, L"missing", L""},
        {L"SOFTWARE\\ZindleDataTests\\NoSuchKey", L"sz", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, ReadRegString(c.key, c.name)) << (c.name ? c.name : L"(default)");
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKey);
}

// Devmark.dll is loaded from install folder + version folder, as the input method installs it.
TEST(Identity, MachineIdLoadsDevmarkFromTheVersionFolder) {
    ImeKeyGuard guard;
    ScratchFolder install(L"zindle-ime");
    std::wstring versionFolder = install.File(L"9.1.0.1234");
    CreateDirectoryW(versionFolder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"Devmark.dll").c_str(), (versionFolder + L"\\Devmark.dll").c_str(), FALSE));

    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kImeRegistryKey);
    SetText(kImeRegistryKey, nullptr, install.Path());
    SetText(kImeRegistryKey, L"Version", L"9.1.0.1234");
    EXPECT_EQ("9.1.0.1234", ImeVersion());
    std::string h = MachineId();
    EXPECT_EQ(DevmarkDirect(), h);
    ASSERT_EQ(32u, h.size());
    EXPECT_EQ(std::string::npos, h.find_first_not_of("0123456789ABCDEF"));
    EXPECT_EQ(h, MachineId()) << "stable across calls";

    // Another version: its folder holds no library, and h is empty.
    SetText(kImeRegistryKey, L"Version", L"9.2");
    EXPECT_EQ("", MachineId());

    // No version at all: the library is looked for in the install folder itself.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kImeRegistryKey);
    SetText(kImeRegistryKey, nullptr, install.Path());
    EXPECT_EQ("", ImeVersion());
    EXPECT_EQ("", MachineId());
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"Devmark.dll").c_str(), install.File(L"Devmark.dll").c_str(), FALSE));
    EXPECT_EQ(h, MachineId());

    // No install folder (a broken or half-removed input method) but a version: nothing
    // is loaded, although a library of that name lies where a relative path would lead.
    ScratchFolder planted(L"zindle-planted");
    CreateDirectoryW(planted.File(L"9.1").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"Devmark.dll").c_str(), planted.File(L"9.1\\Devmark.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((ProgramFolder() + L"Devmark.dll").c_str(), planted.File(L"Devmark.dll").c_str(), FALSE));
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(planted.Path().c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kImeRegistryKey);
    SetText(kImeRegistryKey, L"Version", L"9.1");
    EXPECT_EQ("", MachineId()) << "loaded by a relative path";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kImeRegistryKey);
    EXPECT_EQ("", MachineId()) << "loaded by its bare name";
    SetText(kImeRegistryKey, nullptr, L"relative\\folder");
    EXPECT_EQ("", MachineId()) << "loaded from a relative install folder";
    SetCurrentDirectoryW(previous);
    SetText(kImeRegistryKey, nullptr, install.Path());

    // The version text reaches the URLs in the ANSI code page (936 here).
    SetText(kImeRegistryKey, L"Version", L"9.0\u7248");
    EXPECT_EQ("9.0\xB0\xE6", ImeVersion());
}

TEST(Endpoints, UrlsFollowTheTemplatesByteForByte) {
    const std::string h = "00000001000000AB000000AB000000FF";
    SetIdentityForTesting({h, "", kSdkVersion});
    const std::string host = std::string("http://") + build_config::kContentHost;
    const std::string tail = "h=" + h + "&v=pcm&sdk=1.0.0.21&pv=WIN";
    EXPECT_EQ(host + "/allname?" + tail, CategoryListUrl());
    EXPECT_EQ(host + "/pc/adv?" + tail, AdvertConfigUrl());
    // A category id goes out exactly as the category list gave it, unencoded.
    EXPECT_EQ(host + "/sublist?subid=a b&\xB1\xED%41&page=3&dpi=240&" + tail, CategoryPageUrl("a b&\xB1\xED%41", 3));

    struct Case {
        const char* keywordUtf8;
        const char* key;
    } searches[] = {
        {"a b/c", "a+b%2Fc"},
        {"\xE8\xA1\xA8\xE6\x83\x85", "%E8%A1%A8%E6%83%85"},  // two Chinese characters
        {"-_.~", "-_.~"},
        {"", ""},
    };
    for (const Case& c : searches) {
        EXPECT_EQ(host + "/query?key=" + c.key + "&page=1&dpi=240&" + tail, SearchPageUrl(c.keywordUtf8, 1));
    }

    SetIdentityForTesting({h, "9.1", kSdkVersion});
    EXPECT_EQ(host + "/allname?h=" + h + "&v=pcm9.1&sdk=1.0.0.21&pv=WIN", CategoryListUrl());
}

// 2047 bytes and a terminator fit the URL buffer; one byte more and nothing is sent.
TEST(Endpoints, UrlThatWouldNotFit2048BytesIsRefusedWhole) {
    SetIdentityForTesting({"00000001000000AB000000AB000000FF", "9.1", kSdkVersion});
    size_t fixed = CategoryPageUrl("", 1).size();
    std::string fits(2047 - fixed, 'x');
    EXPECT_EQ(2047u, CategoryPageUrl(fits, 1).size());
    EXPECT_EQ("", CategoryPageUrl(fits + "x", 1));
    EXPECT_EQ("", RequestCategoryPage(fits + "x", 1)) << "refused before any request";
    // Each character outside ASCII grows nine-fold at most in a keyword: 300 of them fit no URL.
    std::string chinese;
    for (int i = 0; i < 300; i++) chinese += "\xE8\xA1\xA8";
    EXPECT_EQ("", SearchPageUrl(chinese, 1));
    EXPECT_EQ("", RequestSearchPage(chinese, 1));
}
