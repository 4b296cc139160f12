// Benchmark of the picker, printed and never asserted: start-up to first paint next to a
// bare Win32 window created the same way (same styles, size and calls) in the same run.
//   startup_bench <ZindleProbe.exe>     measures both, three runs each, prints the medians
//   startup_bench bare <file> [stay]    the bare window: writes the performance counter at
//                                       its first paint to file; "stay" keeps it open
//                                       (the idle benchmark uses it as its baseline)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kRuns = 3;
constexpr wchar_t kBareClass[] = L"ZindleBareFrame";
constexpr wchar_t kZindleClass[] = L"ZindleFrame";

// ---- the bare window (child mode) ----------------------------------------------

std::wstring gResultFile;
bool gStay = false;
bool gPainted = false;

long long Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void WriteNumber(const std::wstring& file, long long value) {
    FILE* out = _wfopen(file.c_str(), L"wb");
    if (!out) return;
    fprintf(out, "%lld\n", value);
    fclose(out);
}

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCALCSIZE:
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(hwnd, &ps);
        if (!gPainted) {
            gPainted = true;
            WriteNumber(gResultFile, Now());
            if (!gStay) PostMessageW(hwnd, WM_CLOSE, 0, 0);
        }
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int RunBareWindow(HINSTANCE instance) {
    WNDCLASSEXW wc = {sizeof wc};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = BareProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kBareClass;
    RegisterClassExW(&wc);
    HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_TOPMOST, kBareClass, L"ZindleBare",
                                WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                nullptr, instance, nullptr);
    if (!hwnd) return 1;
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(hwnd, nullptr, (work.left + work.right - 700) / 2, (work.top + work.bottom - 470) / 2,
                 700, 470, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

// ---- the measuring side ------------------------------------------------------------

struct Child {
    PROCESS_INFORMATION pi = {};
    bool started = false;
};

Child Start(const std::wstring& commandLine) {
    Child child;
    STARTUPINFOW si = {sizeof si};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    child.started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &child.pi) != 0;
    return child;
}

void Finish(Child& child, const wchar_t* windowClass) {
    if (!child.started) return;
    if (HWND hwnd = FindWindowW(windowClass, nullptr)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(child.pi.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(child.pi.hProcess, 3);
        WaitForSingleObject(child.pi.hProcess, 5000);
    }
    CloseHandle(child.pi.hThread);
    CloseHandle(child.pi.hProcess);
    child.started = false;
}

HWND WaitForWindow(const wchar_t* windowClass, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND hwnd = FindWindowW(windowClass, nullptr);
        if (hwnd && IsWindowVisible(hwnd)) return hwnd;
        Sleep(5);
    }
    return nullptr;
}

long long ReadNumber(const std::wstring& file, const char* key) {
    FILE* in = _wfopen(file.c_str(), L"rb");
    if (!in) return 0;
    char line[512];
    long long value = 0;
    while (fgets(line, sizeof line, in)) {
        if (!key) {
            value = _atoi64(line);
            break;
        }
        size_t n = strlen(key);
        if (strncmp(line, key, n) == 0 && line[n] == '\t') {
            value = _atoi64(line + n + 1);
            break;
        }
    }
    fclose(in);
    return value;
}

// The test build's first-paint counter, asked through its probe message (0 until painted).
long long ZindleFirstPaint(HWND hwnd, const std::wstring& file) {
    UINT message = RegisterWindowMessageW(L"ZindleProbeDump");
    ATOM atom = GlobalAddAtomW(file.c_str());
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(hwnd, message, atom, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    GlobalDeleteAtom(atom);
    return answer == 1 ? ReadNumber(file, "firstpaint") : 0;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

double MillisecondsBetween(long long from, long long to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (to - from) * 1000.0 / frequency.QuadPart;
}

double BareStartup(const std::wstring& self, const std::wstring& file) {
    DeleteFileW(file.c_str());
    long long t0 = Now();
    Child child = Start(Quoted(self) + L" bare " + Quoted(file));
    if (!child.started) return -1;
    WaitForSingleObject(child.pi.hProcess, 20000);
    Finish(child, kBareClass);
    long long painted = ReadNumber(file, nullptr);
    return painted ? MillisecondsBetween(t0, painted) : -1;
}

// Where a start-up's time went: the test build's milestones, in the order reached, as
// milliseconds since the one before (the first since the process was started).
std::vector<std::pair<std::string, double>> Phases(const std::wstring& file, long long t0, long long painted) {
    std::vector<std::pair<std::string, double>> phases;
    FILE* in = _wfopen(file.c_str(), L"rb");
    if (!in) return phases;
    char line[512];
    long long previous = t0;
    while (fgets(line, sizeof line, in)) {
        char name[64];
        long long counter = 0;
        if (sscanf(line, "mark\t%63s\t%lld", name, &counter) != 2) continue;
        phases.emplace_back(name, MillisecondsBetween(previous, counter));
        previous = counter;
    }
    fclose(in);
    phases.emplace_back("first-paint", MillisecondsBetween(previous, painted));
    return phases;
}

std::vector<std::vector<std::pair<std::string, double>>> gPhaseRuns;

double ZindleStartup(const std::wstring& probeExe, const std::wstring& file) {
    long long t0 = Now();
    Child child = Start(Quoted(probeExe));
    if (!child.started) return -1;
    double ms = -1;
    if (HWND hwnd = WaitForWindow(kZindleClass, 20000)) {
        for (int i = 0; i < 400; ++i) {
            long long painted = ZindleFirstPaint(hwnd, file);
            if (painted) {
                ms = MillisecondsBetween(t0, painted);
                gPhaseRuns.push_back(Phases(file, t0, painted));
                break;
            }
            Sleep(5);
        }
    }
    Finish(child, kZindleClass);
    return ms;
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

double Ratio(double value, double baseline) {
    return baseline > 0 ? value / baseline : 0;
}

int RunBenchmark(const std::wstring& probeExe) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring file = TempFile(L"zindle-bench.txt");

    std::vector<double> bare, zindle;
    for (int i = 0; i < kRuns; ++i) {
        bare.push_back(BareStartup(self, file));
        zindle.push_back(ZindleStartup(probeExe, file));
    }
    double bareMs = Median(bare), zindleMs = Median(zindle);
    printf("bench startup_to_first_paint: zindle %.1f ms, bare window %.1f ms, ratio %.2f (median of %d)\n",
           zindleMs, bareMs, Ratio(zindleMs, bareMs), kRuns);
    // Each phase's median over the runs, named by the milestone that ends it.
    if (!gPhaseRuns.empty()) {
        printf("bench startup_breakdown:");
        for (size_t i = 0; i < gPhaseRuns[0].size(); i++) {
            std::vector<double> values;
            for (const auto& run : gPhaseRuns) {
                if (i < run.size()) values.push_back(run[i].second);
            }
            printf(" %s %.1f ms%s", gPhaseRuns[0][i].first.c_str(), Median(values), i + 1 < gPhaseRuns[0].size() ? "," : "");
        }
        printf("\n");
    }

    DeleteFileW(file.c_str());
    fflush(stdout);
    // A benchmark that could not measure is a broken setup, not a slow program.
    return (zindleMs > 0 && bareMs > 0) ? 0 : 1;
}

// The test harness names files by their Unix paths; Wine reaches them through drive Z:.
std::wstring WindowsPath(std::wstring path) {
    if (path.empty() || path[0] != L'/') return path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L"Z:" + path;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3 && std::wstring(argv[1]) == L"bare") {
        gResultFile = argv[2];
        gStay = argc >= 4 && std::wstring(argv[3]) == L"stay";
        return RunBareWindow(GetModuleHandleW(nullptr));
    }
    if (argc < 2) {
        fprintf(stderr, "usage: startup_bench <ZindleProbe.exe>\n");
        return 2;
    }
    return RunBenchmark(WindowsPath(argv[1]));
}
