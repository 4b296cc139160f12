// Finds the components folder from the executable's own path.
#include "app/ComponentsFolder.h"

#include <windows.h>
#include <shlwapi.h>

std::wstring ComponentsFolderFromModulePath(const wchar_t* modulePath) {
    static const wchar_t kMarker[] = L"\\Components";
    if (!modulePath) return std::wstring();
    const size_t markerLength = ARRAYSIZE(kMarker) - 1;
    // Only a whole folder name counts: "\ComponentsOld" is some other folder, and cutting
    // it short would name a folder that does not exist.
    const wchar_t* found = StrStrIW(modulePath, kMarker);
    while (found && found[markerLength] != L'\\' && found[markerLength] != L'\0') {
        found = StrStrIW(found + 1, kMarker);
    }
    if (!found) return std::wstring();
    std::wstring folder(modulePath, found - modulePath + markerLength);
    folder += L'\\';
    // The folder goes into a MAX_PATH buffer, terminator included.
    if (folder.size() >= MAX_PATH) return std::wstring();
    return folder;
}

std::wstring LookUpComponentsFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return ComponentsFolderFromModulePath(path);
}
