// Test helper: talks to the running picker from outside, the way another process would.
//   probe_client wait-window <ms>      waits until the main window exists and is visible
//   probe_client wait-gone <ms>        waits until no main window exists
//   probe_client dump <file>           asks a test build to write its state to file, prints it
//   probe_client close                 posts WM_CLOSE, as the input method's plug-in does
//   probe_client hide                  hides the window, as if another program had
//   probe_client window-rect <class>     prints "left top right bottom" of the visible window
//                                      of that class
//   probe_client watch-pixel <x> <y> <ms> prints the screen colour at (x, y) as RRGGBB each
//                                      time it changes, for <ms>, sampling every 10 ms
//   probe_client bench <file>          asks a test build to run its page-switch benchmark
//   probe_client ime-text <text>       delivers text to the picker's focused edit the way an
//                                      input method hands over its result (WM_IME_CHAR)
//   probe_client responsiveness <ms>   sends the picker a message every 100 ms for <ms> and
//                                      prints the longest answer time in ms ("worst N")
//   probe_client cover <ms>            lays a topmost window over the whole picker for <ms>
//   probe_client restore               restores the minimised picker
//   probe_client activate              brings the picker to the front, as a window manager
//                                      does for a click (Xvfb runs none)
//   probe_client handles               prints the picker's kernel handles by object type
//   probe_client advert-stub <ms>      stands in for the modal advertisement window: tells
//                                      the main window its handle and disables it, counts
//                                      UM_ADVERT_FLASH for <ms> ("flashes A n"), then tells it
//                                      the window closed and counts again ("flashes B n")
// Exit code 0 on success, 1 when the window is missing or the wait timed out.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

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

int Dump(const wchar_t* file, const wchar_t* messageName = L"ZindleProbeDump") {
    HWND hwnd = MainWindow();
    if (!hwnd) return 1;
    UINT message = RegisterWindowMessageW(messageName);
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

constexpr UINT kAdvertWindowMessage = WM_USER + 7;  // UM_ADVERT_WINDOW
constexpr UINT kAdvertFlashMessage = WM_USER + 8;   // UM_ADVERT_FLASH

int CountFlashes(DWORD ms) {
    int flashes = 0;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == kAdvertFlashMessage) ++flashes;
            DispatchMessageW(&msg);
        }
    }
    return flashes;
}

int AdvertStub(DWORD ms) {
    HWND main = MainWindow();
    if (!main) return 1;
    HWND stub = CreateWindowExW(0, L"STATIC", L"advert stand-in", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, nullptr, nullptr);
    if (!stub) return 1;
    PostMessageW(main, kAdvertWindowMessage, 0, reinterpret_cast<LPARAM>(stub));
    EnableWindow(main, FALSE);  // as a modal window does with its owner
    printf("phaseA\n");
    fflush(stdout);
    printf("flashes A %d\n", CountFlashes(ms));
    PostMessageW(main, kAdvertWindowMessage, 0, 0);
    printf("phaseB\n");
    fflush(stdout);
    printf("flashes B %d\n", CountFlashes(ms));
    EnableWindow(main, TRUE);
    DestroyWindow(stub);
    fflush(stdout);
    return 0;
}

// The search edit's own window exists while it has the focus.
int ImeText(const wchar_t* text) {
    HWND main = MainWindow();
    HWND edit = main ? FindWindowExW(main, nullptr, L"UiLibEdit", nullptr) : nullptr;
    if (!edit) return 1;
    for (const wchar_t* c = text; *c; ++c) SendMessageW(edit, WM_IME_CHAR, *c, 1);
    return 0;
}

int Responsiveness(DWORD ms) {
    DWORD worst = 0, start = GetTickCount();
    int unanswered = 0;
    while (GetTickCount() - start < ms) {
        HWND hwnd = MainWindow();
        if (hwnd) {
            DWORD sent = GetTickCount();
            DWORD_PTR answer = 0;
            if (!SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer)) unanswered++;
            worst = std::max<DWORD>(worst, GetTickCount() - sent);
        }
        Sleep(100);
    }
    printf("worst %lu unanswered %d\n", static_cast<unsigned long>(worst), unanswered);
    return 0;
}

LRESULT CALLBACK CoverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int Cover(DWORD ms) {
    HWND main = MainWindow();
    if (!main) return 1;
    RECT rc;
    GetWindowRect(main, &rc);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CoverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZindleCover";
    RegisterClassW(&wc);
    HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"ZindleCover", L"cover", WS_POPUP,
                                 rc.left - 10, rc.top - 10, rc.right - rc.left + 20, rc.bottom - rc.top + 20,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    if (!cover) return 1;
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    printf("covered\n");
    fflush(stdout);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    DestroyWindow(cover);
    return 0;
}

// The system's handle list, filtered by the picker's process: "type <index> <count>".
int HandlesByType() {
    HWND hwnd = MainWindow();
    DWORD pid = 0;
    if (!hwnd || !GetWindowThreadProcessId(hwnd, &pid)) return 1;
    struct Entry {
        USHORT pid, creator;
        UCHAR type, flags;
        USHORT handle;
        PVOID object;
        ULONG access;
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<char> buffer(8 << 20);
    ULONG length = 0;
    if (!query || query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &length) != 0) return 1;
    ULONG total = *reinterpret_cast<ULONG*>(buffer.data());
    auto* entries = reinterpret_cast<Entry*>(buffer.data() + sizeof(ULONG_PTR));
    int counts[256] = {};
    for (ULONG i = 0; i < total; i++) {
        if (entries[i].pid == static_cast<USHORT>(pid)) counts[entries[i].type]++;
    }
    for (int t = 0; t < 256; t++) {
        if (counts[t]) printf("type %d %d\n", t, counts[t]);
    }
    return 0;
}

int PrivateBytes() {
    HWND hwnd = MainWindow();
    DWORD pid = 0;
    if (!hwnd || !GetWindowThreadProcessId(hwnd, &pid)) return 1;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 1;
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    BOOL ok = GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    CloseHandle(process);
    if (!ok) return 1;
    printf("%llu %llu\n", static_cast<unsigned long long>(counters.PrivateUsage),
           static_cast<unsigned long long>(counters.WorkingSetSize));
    return 0;
}

int WindowRect(const wchar_t* className) {
    HWND hwnd = FindWindowW(className, nullptr);
    if (!hwnd || !IsWindowVisible(hwnd)) return 1;
    RECT rc;
    GetWindowRect(hwnd, &rc);
    printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right, rc.bottom);
    return 0;
}

int WatchPixel(int x, int y, DWORD ms) {
    HDC screen = GetDC(nullptr);
    COLORREF last = CLR_INVALID;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        COLORREF c = GetPixel(screen, x, y);
        if (c != last) {
            printf("%02X%02X%02X\n", GetRValue(c), GetGValue(c), GetBValue(c));
            fflush(stdout);
            last = c;
        }
        Sleep(10);
    }
    ReleaseDC(nullptr, screen);
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
    if (command == L"bench" && argc > 2) return Dump(argv[2], L"ZindleProbeBench");
    if (command == L"memory") return PrivateBytes();
    if (command == L"handles") return HandlesByType();
    if (command == L"cover") return Cover(ms);
    if (command == L"responsiveness") return Responsiveness(ms);
    if (command == L"ime-text" && argc > 2) return ImeText(argv[2]);
    if (command == L"advert-stub") return AdvertStub(ms);
    if (command == L"window-rect" && argc > 2) return WindowRect(argv[2]);
    if (command == L"watch-pixel" && argc > 4) return WatchPixel(_wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]));
    HWND hwnd = MainWindow();
    if (!hwnd) return 1;
    if (command == L"close") return PostMessageW(hwnd, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"hide") return ShowWindow(hwnd, SW_HIDE), 0;
    if (command == L"restore") return ShowWindow(hwnd, SW_RESTORE), 0;
    if (command == L"activate") return SetForegroundWindow(hwnd) ? 0 : 1;
    return 2;
}
