// Test helper: talks to the running picker from outside, the way another process would.
//   probe_client wait-window <ms>      waits until the main window exists and is visible
//   probe_client wait-gone <ms>        waits until no main window exists
//   probe_client dump <file>           asks a test build to write its state to file, prints it
//   probe_client close                 posts WM_CLOSE, as the input method's plug-in does
//   probe_client hide                  hides the window, as if another program had
// Exit code 0 on success, 1 when the window is missing or the wait timed out.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

HWND MainWindow() {
    return FindWindowW(L"ZindleFrame", nullptr);
}

bool WaitFor(bool wantWindow, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND hwnd = MainWindow();
        bool present = hwnd && IsWindowVisible(hwnd);
        if (wantWindow ? present : hwnd == nullptr) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(50);
    }
}

int Dump(const wchar_t* file) {
    HWND hwnd = MainWindow();
    if (!hwnd) return 1;
    UINT message = RegisterWindowMessageW(L"ZindleProbeDump");
    ATOM atom = GlobalAddAtomW(file);
    DWORD_PTR answer = 0;
    LRESULT ok = SendMessageTimeoutW(hwnd, message, atom, 0, SMTO_ABORTIFHUNG, 10000, &answer);
    GlobalDeleteAtom(atom);
    if (!ok || answer != 1) return 1;
    FILE* in = _wfopen(file, L"rb");
    if (!in) return 1;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) fwrite(buffer, 1, n, stdout);
    fclose(in);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::wstring command = argv[1];
    DWORD ms = argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 10000;
    if (command == L"wait-window") return WaitFor(true, ms) ? 0 : 1;
    if (command == L"wait-gone") return WaitFor(false, ms) ? 0 : 1;
    if (command == L"dump" && argc > 2) return Dump(argv[2]);
    HWND hwnd = MainWindow();
    if (!hwnd) return 1;
    if (command == L"close") return PostMessageW(hwnd, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"hide") return ShowWindow(hwnd, SW_HIDE), 0;
    return 2;
}
