// Paths derived from this DLL's own location.
#pragma once
#include <windows.h>
#include <string>

// The full path of a loaded module; empty when it cannot be read or does not fit.
std::wstring ModuleFilePath(HMODULE module);

// The path up to (not including) its last backslash; empty when it has none.
std::wstring FolderOf(const std::wstring& path);

// The path with everything after its last backslash replaced by name; empty when it has none.
std::wstring ReplaceFileName(const std::wstring& path, const wchar_t* name);
