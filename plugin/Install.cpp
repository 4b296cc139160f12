// Copies the component's files of the version that the extension store's certificate
// names from the store into the plug-in's folder.
#include "Install.h"
#include <windows.h>
#include <shellapi.h>
#include <cwchar>
#include "BundleState.h"
#include "ModulePath.h"
#include "ScopedHandle.h"

namespace {

constexpr wchar_t kStoreKey[] = L"SOFTWARE\\OrvanExtension";
constexpr DWORD kStoreValueBytes = 520;
// A certificate is a few lines; anything much larger is not one.
constexpr DWORD kMaxCertificateBytes = 1 << 20;
// FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI: the host shows no dialog.
constexpr FILEOP_FLAGS kCopyFlags = 0x414;

// The extension store's folder from the 32-bit registry view; empty when absent.
std::wstring ExtensionStoreFolder() {
    ScopedKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kStoreKey, 0, KEY_READ | KEY_WOW64_32KEY, key.Receive()) !=
        ERROR_SUCCESS) {
        return {};
    }
    // One spare unit so that a value stored without its terminator still ends.
    wchar_t value[kStoreValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD type = 0;
    DWORD bytes = kStoreValueBytes;
    if (RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) !=
        ERROR_SUCCESS) {
        return {};
    }
    if (type != REG_SZ) return {};
    return value;
}

// The certificate file's UTF-16 text; empty when it cannot be read.
std::wstring ReadCertificate(const std::wstring& path) {
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return {};
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxCertificateBytes) return {};
    std::wstring text(static_cast<size_t>(size.QuadPart) / sizeof(wchar_t), L'\0');
    DWORD wanted = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD read = 0;
    if (wanted && (!ReadFile(file.Get(), text.data(), wanted, &read, nullptr) || read != wanted)) return {};
    return text;
}

// A version names one folder below the component's folder; anything that could
// reach outside it (separators, "..", a drive) is refused.
bool IsPlainFolderName(const std::wstring& name) {
    if (name.empty() || name == L"." || name.find(L"..") != std::wstring::npos) return false;
    return name.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos;
}

// SHFileOperationW takes lists of paths, each list ended by a second terminator.
std::wstring DoubleTerminated(const std::wstring& path) {
    std::wstring list = path;
    list.push_back(L'\0');
    return list;  // c_str() adds the second terminator
}

void CopyFolderContents(const std::wstring& fromPattern, const std::wstring& toFolder) {
    std::wstring from = DoubleTerminated(fromPattern);
    std::wstring to = DoubleTerminated(toFolder);
    SHFILEOPSTRUCTW op = {};
    op.hwnd = nullptr;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = kCopyFlags;
    SHFileOperationW(&op);
}

}  // namespace

std::wstring ModuleVersionFromCertificate(const std::wstring& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (line.find(L"moduleversion=") != std::wstring::npos) {
            size_t equals = line.find(L'=');
            size_t stop = line.find(L'\r', equals + 1);
            return line.substr(equals + 1, stop == std::wstring::npos ? std::wstring::npos : stop - equals - 1);
        }
        start = end + 1;
    }
    return {};
}

bool InstallFromExtensionStore(const wchar_t* commandLine) {
    if (!commandLine || !std::wcsstr(commandLine, L"-install2")) return false;
    std::wstring pluginFolder = FolderOf(ModuleFilePath(State().module));
    if (pluginFolder.empty()) return false;

    std::wstring store = ExtensionStoreFolder();
    if (store.empty()) return true;
    std::wstring component = store + L"\\Zindle";
    std::wstring version = ModuleVersionFromCertificate(ReadCertificate(component + L"\\certificate"));
    if (!IsPlainFolderName(version)) return true;
    CopyFolderContents(component + L"\\" + version + L"\\*.*", pluginFolder);
    return true;
}
