// Paths derived from this DLL's own location.
#include "ModulePath.h"

std::wstring ModuleFilePath(HMODULE module) {
    wchar_t buffer[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(module, buffer, MAX_PATH);
    // A full buffer means the path was cut: a cut path names some other file.
    if (n == 0 || n >= MAX_PATH) return {};
    return std::wstring(buffer, n);
}

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return {};
    return path.substr(0, slash);
}

std::wstring ReplaceFileName(const std::wstring& path, const wchar_t* name) {
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return {};
    return path.substr(0, slash + 1) + name;
}
