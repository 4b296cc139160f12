// Report and dump paths: the executable's path with another extension.
#include "crash/CrashPaths.h"

#include <wchar.h>

namespace {
CrashPaths gPaths;
}

CrashPaths& GetCrashPaths() {
    return gPaths;
}

void ReplaceExtension(const wchar_t* path, const wchar_t* extension, wchar_t* out) {
    size_t length = wcslen(path);
    // Only a dot in the file name starts an extension: one in a folder name does not.
    const wchar_t* dot = wcsrchr(FileNamePart(path), L'.');
    size_t keep = dot ? size_t(dot - path) : length;
    size_t extensionLength = wcslen(extension);
    // The buffers leave room for ".ext" after a MAX_PATH path; cut rather than overflow.
    if (keep + 1 + extensionLength >= size_t(kCrashPathUnits)) {
        out[0] = L'\0';
        return;
    }
    wmemcpy(out, path, keep);
    out[keep] = L'.';
    wmemcpy(out + keep + 1, extension, extensionLength + 1);
}

const wchar_t* FileNamePart(const wchar_t* path) {
    const wchar_t* slash = wcsrchr(path, L'\\');
    return slash ? slash + 1 : path;
}
