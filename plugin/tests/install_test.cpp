// The install request: the version the extension store's certificate names is copied
// from the store (found in the 32-bit registry view) into the plug-in's folder.
#include "PluginFixture.h"

namespace {

constexpr wchar_t kStoreKey[] = L"SOFTWARE\\OrvanExtension";

// UTF-16 bytes of a certificate's text, with or without a byte-order mark.
std::string Utf16(const std::wstring& text, bool byteOrderMark) {
    std::string bytes = byteOrderMark ? std::string("\xFF\xFE", 2) : std::string();
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes;
}

bool SetStoreFolder(REGSAM view, const std::wstring& folder) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kStoreKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    LSTATUS status = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                                    static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void RemoveStoreKey(REGSAM view) {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kStoreKey, view, 0);
}

}  // namespace

// The store holds versions 1.0.0.20 and 1.0.0.21 of the component; a decoy store is
// registered in the 64-bit view only.
class Install : public PluginFixture {
protected:
    void SetUp() override {
        PluginFixture::SetUp();
        // The store brings its own program file.
        DeleteFileW((PluginFolder() + L"\\Zindle.exe").c_str());
        std::wstring component = folder / L"store\\Zindle";
        ASSERT_TRUE(WriteBytes(component + L"\\1.0.0.21\\Zindle.exe", "program 21"));
        ASSERT_TRUE(WriteBytes(component + L"\\1.0.0.21\\Res\\title.png", "title 21"));
        ASSERT_TRUE(WriteBytes(component + L"\\1.0.0.20\\old.txt", "old 20"));
        ASSERT_TRUE(WriteBytes(folder / L"decoy\\Zindle\\1.0.0.21\\decoy.txt", "decoy"));
        ASSERT_TRUE(WriteBytes(folder / L"decoy\\Zindle\\certificate", Utf16(L"moduleversion=1.0.0.21\r\n", true)));
        ASSERT_TRUE(SetStoreFolder(KEY_WOW64_32KEY, folder / L"store"));
        ASSERT_TRUE(SetStoreFolder(KEY_WOW64_64KEY, folder / L"decoy"));
    }
    void TearDown() override {
        RemoveStoreKey(KEY_WOW64_32KEY);
        RemoveStoreKey(KEY_WOW64_64KEY);
        PluginFixture::TearDown();
    }

    void WriteCertificate(const std::string& bytes) {
        ASSERT_TRUE(WriteBytes(folder / L"store\\Zindle\\certificate", bytes));
    }
    // What arrived in the plug-in's folder, as "name=content" pairs; then clears it.
    std::string Installed() {
        std::string found;
        const wchar_t* names[] = {L"Zindle.exe", L"Res\\title.png", L"old.txt", L"decoy.txt"};
        for (const wchar_t* name : names) {
            std::wstring path = PluginFolder() + L"\\" + name;
            std::string content = ReadBytes(path);
            if (content.empty()) continue;
            found += (found.empty() ? "" : " ") + content;
            DeleteFileW(path.c_str());
        }
        return found;
    }
};

TEST_F(Install, CommandLineSwitch) {
    WriteCertificate(Utf16(L"moduleversion=1.0.0.21\r\n", true));
    struct Case {
        const char* name;
        const wchar_t* commandLine;
        bool result;
        const char* installed;
    };
    const Case cases[] = {
        {"alone", L"-install2", true, "program 21 title 21"},
        {"between other switches", L"-silent -install2 -from store", true, "program 21 title 21"},
        {"inside a word", L"/q-install2x", true, "program 21 title 21"},
        {"shorter switch alone", L"-install", false, ""},
        {"shorter switch between others", L"-silent -install -from store", false, ""},
        {"other case", L"-INSTALL2", false, ""},
        {"empty", L"", false, ""},
        {"null", nullptr, false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bundle.Install(c.commandLine), c.result) << c.name;
        EXPECT_EQ(Installed(), c.installed) << c.name;
    }
}

TEST_F(Install, CertificateVersion) {
    struct Case {
        const char* name;
        std::wstring text;
        bool byteOrderMark;
        const char* installed;
    };
    const Case cases[] = {
        {"CR LF", L"moduleversion=1.0.0.21\r\n", true, "program 21 title 21"},
        {"no byte-order mark", L"moduleversion=1.0.0.21\r\n", false, "program 21 title 21"},
        {"among other lines", L"name=Zindle\r\nmoduleversion=1.0.0.20\r\nsize=3\r\n", true, "old 20"},
        {"LF only", L"moduleversion=1.0.0.20\n", true, "old 20"},
        {"last line unended", L"id=7\r\nmoduleversion=1.0.0.21", true, "program 21 title 21"},
        {"first match wins", L"moduleversion=1.0.0.20\r\nmoduleversion=1.0.0.21\r\n", true, "old 20"},
        {"empty version", L"moduleversion=\r\n", true, ""},
        {"no version line", L"name=Zindle\r\nversion=1.0.0.21\r\n", true, ""},
        {"unknown version", L"moduleversion=9.9\r\n", true, ""},
        {"version leaving the store", L"moduleversion=..\\..\\decoy\\Zindle\\1.0.0.21\r\n", true, ""},
        {"empty file", L"", true, ""},
    };
    for (const Case& c : cases) {
        WriteCertificate(Utf16(c.text, c.byteOrderMark));
        EXPECT_TRUE(bundle.Install(L"-install2")) << c.name;
        EXPECT_EQ(Installed(), c.installed) << c.name;
    }
}

// Without the store's key or certificate nothing is copied, and the request still reports true.
TEST_F(Install, MissingStoreOrCertificate) {
    EXPECT_TRUE(bundle.Install(L"-install2"));
    EXPECT_EQ(Installed(), "") << "no certificate";

    WriteCertificate(Utf16(L"moduleversion=1.0.0.21\r\n", true));
    RemoveStoreKey(KEY_WOW64_32KEY);
    EXPECT_TRUE(bundle.Install(L"-install2"));
    EXPECT_EQ(Installed(), "") << "the store is read from the 32-bit view only";

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kStoreKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    std::wstring store = folder / L"store";
    RegSetValueExW(key, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(store.c_str()),
                   static_cast<DWORD>((store.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    EXPECT_TRUE(bundle.Install(L"-install2"));
    EXPECT_EQ(Installed(), "") << "a value that is not REG_SZ";
}
