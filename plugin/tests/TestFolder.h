// Scratch folders and files for the plug-in tests, and waits for the stand-in processes.
#pragma once
#include <string>

// This test program's own folder (Zindle.dll and the stand-in programs lie there too).
std::wstring TestProgramFolder();

// A fresh folder under the temporary folder, removed with everything in it on destruction.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

// Creates the file's folders as needed.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool CopyInto(const std::wstring& from, const std::wstring& to);
bool FileExists(const std::wstring& path);
// Empty when the file cannot be read.
std::string ReadBytes(const std::wstring& path);
// The file's UTF-16 lines as the stand-in program writes them.
std::wstring ReadMark(const std::wstring& path);

// Waits (up to 20 s) until no process started from a program inside folder runs;
// false if one still does.
bool WaitUntilNoProcessUnder(const std::wstring& folder);
