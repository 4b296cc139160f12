// Hand-over to the maker's crash reporter, "bugvane.exe" in the components folder.
#pragma once
#include <string>

// The reporter's command line: its quoted path, then the quoted program name, "orvanzk",
// "0" and the file names of the dump and the report, separated by single spaces.
std::wstring ReporterCommandLine(const wchar_t* componentsFolder, const wchar_t* programName,
                                 const wchar_t* dumpPath, const wchar_t* reportPath);

// Starts the reporter for this program's files; nothing when the components folder is
// empty. The reporter is left to run on its own.
void StartCrashReporter();
