// zindle-chat.exe [--record FILE]: a chat stand-in to paste pictures into. With --record,
// every key, paste, clipboard format and picture it sees is written to FILE (UTF-8).
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
std::wstring RecordPathFromCommandLine() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring path;
    for (int i = 1; argv && i + 1 < argc; i++) {
        if (std::wstring(argv[i]) == L"--record") path = argv[i + 1];
    }
    LocalFree(argv);
    return path;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    StartRecord(RecordPathFromCommandLine());
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    if (Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr) != Gdiplus::Ok) return 1;
    int exitCode = 1;
    if (HWND window = CreateChatWindow(instance)) {
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
