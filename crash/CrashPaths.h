// The paths the crash handler works with, fixed once at installation.
#pragma once

// Buffers hold MAX_PATH units plus room for an appended ".rpt"/".dmp".
constexpr int kCrashPathUnits = 260 + 8;

struct CrashPaths {
    wchar_t executable[kCrashPathUnits];   // the program's full path
    wchar_t programName[kCrashPathUnits];  // its file name with extension
    wchar_t report[kCrashPathUnits];       // extension replaced by "rpt"
    wchar_t dump[kCrashPathUnits];         // extension replaced by "dmp"
};

// Process-wide; zero until InstallCrashHandler fills it.
CrashPaths& GetCrashPaths();

// Copies `path` into `out` (kCrashPathUnits) with everything after its last "." replaced
// by `extension`, or "." and the extension appended when it has no ".".
void ReplaceExtension(const wchar_t* path, const wchar_t* extension, wchar_t* out);

// The part of a path after its last backslash (the whole path when it has none).
const wchar_t* FileNamePart(const wchar_t* path);
