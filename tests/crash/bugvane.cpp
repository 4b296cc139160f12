// Stand-in for the maker's crash reporter: appends its command line, one line each time
// it is started, to "bugvane.log" (UTF-16LE) in its own folder.
#include <windows.h>
#include <wchar.h>

int main() {
    wchar_t path[MAX_PATH + 16] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    wchar_t* slash = wcsrchr(path, L'\\');
    if (!slash) return 1;
    wcscpy(slash + 1, L"bugvane.log");

    const wchar_t* commandLine = GetCommandLineW();
    // Several reporters may start at once: wait for the file rather than lose a line.
    for (int attempt = 0; attempt < 200; attempt++) {
        HANDLE log = CreateFileW(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (log != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(log, commandLine, DWORD(wcslen(commandLine) * sizeof(wchar_t)), &written, nullptr);
            WriteFile(log, L"\n", sizeof(wchar_t), &written, nullptr);
            CloseHandle(log);
            return 0;
        }
        Sleep(25);
    }
    return 1;
}
