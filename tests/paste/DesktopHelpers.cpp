// Windows, waiting and clipboard read-back for the paste tests.
#include "tests/paste/DesktopHelpers.h"
#include <set>

namespace {
const wchar_t kMarker[] = L"clipboard marker";

LRESULT CALLBACK TopWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETFOCUS) {
        if (HWND child = GetWindow(hwnd, GW_CHILD)) SetFocus(child);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}
}  // namespace

HWND MakeTopWindow(const wchar_t* className) {
    static std::set<std::wstring> registered;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (registered.insert(className).second) {
        WNDCLASSEXW wc = {sizeof(wc)};
        wc.lpfnWndProc = TopWindowProc;
        wc.hInstance = instance;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = className;
        RegisterClassExW(&wc);
    }
    HWND window = CreateWindowExW(0, className, className, WS_POPUP | WS_BORDER | WS_VISIBLE, 600, 100, 300, 200,
                                  nullptr, nullptr, instance, nullptr);
    PumpFor(50);
    return window;
}

bool BringToFront(HWND window) {
    SetForegroundWindow(window);
    return WaitUntil([window] { return GetForegroundWindow() == window; }, 3000);
}

void PumpFor(DWORD ms) {
    WaitUntil([] { return false; }, ms);
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(10);
    }
}

std::vector<UINT> ClipboardFormats() {
    std::vector<UINT> formats;
    if (!OpenClipboard(nullptr)) return formats;
    for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f)) formats.push_back(f);
    CloseClipboard();
    return formats;
}

std::string ClipboardBlock(UINT format) {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE block = GetClipboardData(format)) {
        if (const char* data = static_cast<const char*>(GlobalLock(block))) {
            bytes.assign(data, GlobalSize(block));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return bytes;
}

std::string UpToZero(const std::string& block) {
    return block.substr(0, block.find('\0'));
}

void PutMarkerOnClipboard() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(kMarker))) {
        memcpy(GlobalLock(block), kMarker, sizeof(kMarker));
        GlobalUnlock(block);
        if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
    }
    CloseClipboard();
}

bool MarkerStillOnClipboard() {
    std::string block = ClipboardBlock(CF_UNICODETEXT);
    std::vector<UINT> formats = ClipboardFormats();
    return block.size() >= sizeof(kMarker) && memcmp(block.data(), kMarker, sizeof(kMarker)) == 0 &&
           !formats.empty() && formats[0] == CF_UNICODETEXT && OnlySynthesisedAfter(formats, 1);
}

bool OnlySynthesisedAfter(const std::vector<UINT>& formats, size_t count) {
    for (size_t i = count; i < formats.size(); i++) {
        UINT f = formats[i];
        if (f != CF_LOCALE && f != CF_TEXT && f != CF_OEMTEXT) return false;
    }
    return formats.size() >= count;
}

UINT RichEditFormat() {
    return RegisterClipboardFormatW(L"QQ_RichEdit_Format");
}

UINT HtmlFormat() {
    return RegisterClipboardFormatW(L"HTML Format");
}
