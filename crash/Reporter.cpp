// Starts the crash reporter. The command line grows as needed, since the components
// folder and the program's name may be as long as paths go.
#include "crash/Reporter.h"

#include "crash/ComponentsFolder.h"
#include "crash/CrashPaths.h"

#include <windows.h>
#include <new>

std::wstring ReporterCommandLine(const wchar_t* componentsFolder, const wchar_t* programName,
                                 const wchar_t* dumpPath, const wchar_t* reportPath) {
    std::wstring line = L"\"";
    line += componentsFolder;
    if (line.back() != L'\\') line += L'\\';
    line += L"bugvane.exe\" \"";
    line += programName;
    line += L"\" \"orvanzk\" \"0\" \"";
    line += FileNamePart(dumpPath);
    line += L"\" \"";
    line += FileNamePart(reportPath);
    line += L"\"";
    return line;
}

void StartCrashReporter() {
    const wchar_t* folder = ComponentsFolder();
    if (!folder[0]) return;
    const CrashPaths& paths = GetCrashPaths();
    std::wstring commandLine;
    try {
        commandLine = ReporterCommandLine(folder, paths.programName, paths.dump, paths.report);
    } catch (const std::bad_alloc&) {
        return;  // no memory left to tell the reporter anything
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
