// zindle-chat.exe [--record FILE] [--at X,Y]: a chat stand-in to paste pictures into.
// With --record, every key, paste, clipboard format and picture it sees is written to
// FILE (UTF-8); --at places the window's top-left corner on the screen.
#include "tools/chat/ChatWindow.h"
#include "tools/chat/PasteRecord.h"
#include <objidl.h>
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
#include <shellapi.h>
#include <string>

namespace {
struct Options {
    std::wstring recordPath;
    POINT at = {10, 40};
};

Options OptionsFromCommandLine() {
    Options options;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; argv && i + 1 < argc; i++) {
        std::wstring name = argv[i];
        if (name == L"--record") options.recordPath = argv[i + 1];
        if (name == L"--at") {
            long x = 0, y = 0;
            if (swscanf(argv[i + 1], L"%ld,%ld", &x, &y) == 2) options.at = POINT{x, y};
        }
    }
    LocalFree(argv);
    return options;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    Options options = OptionsFromCommandLine();
    StartRecord(options.recordPath);
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    if (Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr) != Gdiplus::Ok) return 1;
    int exitCode = 1;
    if (HWND window = CreateChatWindow(instance, options.at)) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        SetForegroundWindow(window);
        wchar_t handle[32];
        swprintf(handle, 32, L"ready window=%llu", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
        RecordLine(handle);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        exitCode = 0;
    }
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return exitCode;
}
