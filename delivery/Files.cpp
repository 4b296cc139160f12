// Folder paths for the cache and the data folder, and whole-file access for the
// small text files the program keeps.
#include "delivery/Files.h"

#include <shlwapi.h>
#include <cwchar>
#include <vector>

#include "base/WinHandle.h"
#include "net/Text.h"

namespace {

constexpr DWORD kMaxReadableBytes = 104857600;  // 100 MiB: beyond any text file of ours
constexpr wchar_t kFallbackCommonAppData[] = L"C:\\ProgramData";

bool IsReservedDeviceName(const std::wstring& name) {
    // Windows maps these names to devices with any extension ("nul.txt") and any case.
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices) {
        if (_wcsicmp(stem.c_str(), device) == 0) return true;
    }
    if (stem.size() == 4 && (_wcsnicmp(stem.c_str(), L"COM", 3) == 0 || _wcsnicmp(stem.c_str(), L"LPT", 3) == 0)) {
        wchar_t digit = stem[3];
        // Superscript digits name the same ports.
        if ((digit >= L'0' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3) return true;
    }
    return false;
}

HANDLE CreateForWrite(const std::wstring& path, DWORD attributes) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
}

}  // namespace

bool IsPlainFileName(const std::wstring& name) {
    if (name.empty() || name.size() > MAX_PATH) return false;
    for (wchar_t c : name) {
        if (c < 0x20 || wcschr(L"\\/:*?\"<>|", c)) return false;
    }
    if (name.back() == L'.' || name.back() == L' ') return false;  // also "." and ".."
    return !IsReservedDeviceName(name);
}

std::wstring TempFolderPath(const std::string& nameAnsi) {
    char temp[MAX_PATH] = {};
    DWORD n = GetTempPathA(MAX_PATH, temp);
    if (n == 0 || n >= MAX_PATH) return {};
    std::wstring folder = ToWide(temp, CP_ACP);
    if (folder.empty()) return {};
    folder += L"Zindle\\";
    if (!PathIsDirectoryW(folder.c_str())) CreateDirectoryW(folder.c_str(), nullptr);
    if (nameAnsi.empty()) return folder;

    // Judge the name after conversion: a double-byte character's trail byte may be 0x5C.
    std::wstring name = ToWide(nameAnsi, CP_ACP);
    if (nameAnsi.find('\0') == std::string::npos && IsPlainFileName(name))
        return folder + name;
    return {};
}

void EnsureFolder(const std::wstring& path) {
    if (!PathFileExistsW(path.c_str())) CreateDirectoryW(path.c_str(), nullptr);
}

std::wstring DataFolderPath(const std::wstring& name, FolderPathQuery query) {
    wchar_t base[MAX_PATH] = {};
    std::wstring path;
    if (SUCCEEDED(query(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base)) ||
        SUCCEEDED(query(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_DEFAULT, base))) {
        path = base;
    }
    if (path.empty()) path = kFallbackCommonAppData;
    EnsureFolder(path);
    path += L"\\OrvanInput";
    EnsureFolder(path);
    path += L"\\Components";
    EnsureFolder(path);
    path += L"\\";
    path += name;
    if (!PathIsDirectoryW(path.c_str())) CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

std::string ReadWholeFile(const std::wstring& path, size_t* count) {
    if (count) *count = 0;
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    DWORD high = 0;
    DWORD size = GetFileSize(file.Get(), &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size >= kMaxReadableBytes) return {};

    std::vector<char> buffer(size + 10, '\0');
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer.data(), size, &got, nullptr)) got = 0;
    buffer[got] = '\0';
    if (count) *count = got;
    return std::string(buffer.data());  // a text file's content ends at its first NUL
}

bool WriteWholeFile(const std::wstring& path, const char* bytes, int count) {
    KernelHandle file(CreateForWrite(path, FILE_ATTRIBUTE_NORMAL));
    if (!file && GetLastError() == ERROR_ACCESS_DENIED) {
        // Truncating a hidden or system file needs its own flags.
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            file.Reset(CreateForWrite(path, attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)));
        }
    }
    if (!file) return false;
    DWORD length = count > 0 ? static_cast<DWORD>(count) : static_cast<DWORD>(strlen(bytes));
    DWORD written = 0;
    // A failed or short write (a full disk) is a failure, not a file that was written.
    return WriteFile(file.Get(), bytes, length, &written, nullptr) && written == length;
}

bool ReplaceWholeFile(const std::wstring& path, const std::string& bytes) {
    const DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    DWORD oldAttributes = GetFileAttributesW(path.c_str());
    bool exists = oldAttributes != INVALID_FILE_ATTRIBUTES;
    DWORD kept = exists ? oldAttributes & kKept : 0;

    std::wstring fresh = path + L".new";
    SetFileAttributesW(fresh.c_str(), FILE_ATTRIBUTE_NORMAL);  // a leftover from a crash
    DeleteFileW(fresh.c_str());
    {
        KernelHandle file(CreateForWrite(fresh, kept ? kept : FILE_ATTRIBUTE_NORMAL));
        if (!file) return false;
        DWORD written = 0;
        bool complete = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size() && FlushFileBuffers(file.Get());
        if (!complete) {
            file.Reset();
            DeleteFileW(fresh.c_str());
            return false;
        }
    }
    // One rename puts the new content in place: a kill or a crash at any moment leaves
    // the old file or the new one, never neither (ReplaceFileW under Wine deletes the old
    // file before it moves the new one in). The new file already has the old one's flags.
    if (!MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(fresh.c_str());
        return false;
    }
    // The flags came with the new file; make sure they are there whatever the rename did.
    DWORD now = GetFileAttributesW(path.c_str());
    if (kept && now != INVALID_FILE_ATTRIBUTES && (now & kKept) != kept) SetFileAttributesW(path.c_str(), now | kept);
    return true;
}
