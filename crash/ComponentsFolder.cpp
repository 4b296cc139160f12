// Storage of the components folder: a plain array, so it exists before any global
// constructor runs and needs no heap when a crash reads it.
#include "crash/ComponentsFolder.h"

#include <wchar.h>

namespace {
wchar_t gComponentsFolder[kComponentsFolderUnits];
}

const wchar_t* ComponentsFolder() {
    return gComponentsFolder;
}

bool SetComponentsFolder(const wchar_t* folder) {
    if (!folder) folder = L"";
    size_t length = wcslen(folder);
    if (length >= kComponentsFolderUnits) return false;
    wmemcpy(gComponentsFolder, folder, length + 1);
    return true;
}
