// Stand-in for the program and for the input method's broker: each start appends its
// command line (UTF-16, one line) to "<its own path>.mark" and exits.
#include <windows.h>
#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH - 8);
    if (n == 0 || n >= MAX_PATH - 8) return 1;
    std::wcscat(self, L".mark");
    HANDLE mark = CreateFileW(self, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark == INVALID_HANDLE_VALUE) return 1;
    const wchar_t* line = GetCommandLineW();
    DWORD written = 0;
    WriteFile(mark, line, static_cast<DWORD>(std::wcslen(line) * sizeof(wchar_t)), &written, nullptr);
    WriteFile(mark, L"\n", sizeof(wchar_t), &written, nullptr);
    CloseHandle(mark);
    return 0;
}
