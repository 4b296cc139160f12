// Test builds only: writes the main window's state and control tree to a file on request.
// One line per item, fields separated by tabs:
//   window <left> <top> <right> <bottom> <visible 0/1> <iconic 0/1>
//   firstpaint <performance counter at the end of the first paint> <counter frequency>
//   categoryreply <bytes>
//   components <the components folder>
//   control <depth> <class> <name> <left> <top> <right> <bottom> <visible> <text> <image>
// where a button's image is its normal image and any other control's its background image.
#include "app/TestProbe.h"

#include <atomic>
#include <cstdio>
#include <string>

#include "app/MainUI.h"
#include "crash/ComponentsFolder.h"
#include "net/Text.h"
#include "uilib/UIButton.h"

namespace {

std::atomic<long long> firstPaintCounter{0};

std::string Field(LPCTSTR text) {
    std::string utf8 = FromWide(text ? text : L"", CP_UTF8);
    for (char& c : utf8) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return utf8;
}

void WriteControl(FILE* out, CControlUI* control, int depth) {
    if (!control) return;
    const RECT& pos = control->GetPos();
    LPCTSTR image = control->GetBkImage();
    if (auto* button = static_cast<CButtonUI*>(control->GetInterface(L"Button"))) {
        image = button->GetNormalImage();
    }
    fprintf(out, "control\t%d\t%s\t%s\t%ld\t%ld\t%ld\t%ld\t%d\t%s\t%s\n", depth,
            Field(control->GetClass()).c_str(), Field(control->GetName()).c_str(), pos.left,
            pos.top, pos.right, pos.bottom, control->IsVisible() ? 1 : 0,
            Field(control->GetText()).c_str(), Field(image).c_str());
    auto* container = static_cast<CContainerUI*>(control->GetInterface(L"Container"));
    if (!container) return;
    for (int i = 0; i < container->GetCount(); ++i) {
        WriteControl(out, container->GetItemAt(i), depth + 1);
    }
}

}  // namespace

void MainWindowProbe::Painted() {
    long long expected = 0;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    firstPaintCounter.compare_exchange_strong(expected, now.QuadPart);
}

bool MainWindowProbe::HandleMessage(CMainUI& window, UINT uMsg, WPARAM wParam, LPARAM,
                                    LRESULT& result) {
    static const UINT probeMessage = RegisterWindowMessageW(L"ZindleProbeDump");
    if (uMsg != probeMessage || probeMessage == 0) return false;
    result = 0;
    wchar_t path[MAX_PATH] = {};
    if (!GlobalGetAtomNameW(static_cast<ATOM>(wParam), path, MAX_PATH)) return true;
    FILE* out = _wfopen(path, L"wb");
    if (!out) return true;
    HWND hwnd = window.GetHWND();
    RECT rc = {};
    GetWindowRect(hwnd, &rc);
    fprintf(out, "window\t%ld\t%ld\t%ld\t%ld\t%d\t%d\n", rc.left, rc.top, rc.right, rc.bottom,
            IsWindowVisible(hwnd) ? 1 : 0, IsIconic(hwnd) ? 1 : 0);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    fprintf(out, "firstpaint\t%lld\t%lld\n", firstPaintCounter.load(), frequency.QuadPart);
    fprintf(out, "categoryreply\t%u\n", static_cast<unsigned>(window.categoryReply.size()));
    fprintf(out, "components\t%s\n", Field(ComponentsFolder()).c_str());
    WriteControl(out, window.paintManager.GetRoot(), 0);
    fclose(out);
    result = 1;
    return true;
}
