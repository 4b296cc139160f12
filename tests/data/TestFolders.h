// Small helpers for the data tests: a scratch folder that is removed afterwards, and
// reading back what a file holds.
#pragma once
#include <windows.h>

#include <string>

// A fresh folder under the temporary directory; removed with its files when destroyed.
class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* name);
    ~ScratchFolder();
    const std::wstring& Path() const { return path_; }
    std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

void RemoveTree(const std::wstring& path);
// Raw bytes of a file ("" when unreadable), unlike ReadWholeFile, which stops at a NUL.
std::string FileBytes(const std::wstring& path);
// The folder the test program runs from, with a trailing backslash.
std::wstring ProgramFolder();
