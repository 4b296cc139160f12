// Where the program keeps its local files (picture cache, advertisement resources, the
// recent-list file) and whole-file reading and writing for small text files.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <string>

// The temporary folder's "Zindle\" (created if missing) followed by name; an empty name
// gives the folder itself with its trailing backslash. Names are server-supplied
// (picture ids, resource names): one that is not a plain file name gives "" so that
// nothing is ever written outside the folder. "" when the system has no temporary path.
std::wstring TempFolderPath(const std::string& nameAnsi);
// True for a name that stays one file inside its folder: no separators, no drive or
// stream colon, no wildcards or control characters, not "." or "..", no trailing dot
// or space, no reserved device name such as "con" or "lpt1.txt".
bool IsPlainFileName(const std::wstring& name);

// Common application data + "\OrvanInput\Components\" + name, every level created;
// no trailing backslash. "C:\ProgramData" stands in when the system names no such folder.
using FolderPathQuery = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
std::wstring DataFolderPath(const std::wstring& name, FolderPathQuery query = SHGetFolderPathW);
// Creates the folder when nothing exists at path; failures show up at the next file use.
void EnsureFolder(const std::wstring& path);

// The file's text up to its first NUL; count (optional) gets the number of bytes read.
// "" when the file cannot be read or is 100 MiB or larger.
std::string ReadWholeFile(const std::wstring& path, size_t* count = nullptr);
// Creates or truncates the file and writes count bytes (count <= 0: bytes is a
// NUL-terminated text). Keeps a hidden or system file's flags. False if not created, or
// if not every byte was written.
bool WriteWholeFile(const std::wstring& path, const char* bytes, int count);
// Writes the new content beside the file and replaces the file only once that write
// is complete and flushed, so a crash or a full disk leaves the old file intact.
// The replaced file keeps its hidden and system flags.
bool ReplaceWholeFile(const std::wstring& path, const std::string& bytes);
