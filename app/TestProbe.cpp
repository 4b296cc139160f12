// Test builds only: writes the main window's state and control tree to a file on request.
// One line per item, fields separated by tabs:
//   window <left> <top> <right> <bottom> <visible 0/1> <iconic 0/1>
//   firstpaint <performance counter at the end of the first paint> <counter frequency>
//   mark <start-up milestone> <performance counter when it was reached>
//   categoryreply <bytes>
//   components <the components folder>
//   control <depth> <class> <name> <left> <top> <right> <bottom> <visible> <text> <image>
//           <background colour> <text colour> <border colour>
//   grid <mode> <loaded> <more 0/1> <online 0/1> <category id> <keyword> <gif choice> <next page>
//        <recent entries> <session picks>
//   scroll <current page> <last page> <value> <maximum> <visible 0/1> <thumb height>
//   category <expanded 0/1> <drop-down page> <selected name> <row buttons> <buttons>
//   search <editing 0/1> <hint> <text> <clear button visible 0/1>
//   tile <index> <visible 0/1> <image id> <picture shown> <requested 0/1> <retries> <playing 0/1>
//        <frame> <animate 0/1> <hot 0/1> <border colour>
//   paths <cache folder> <recent-list file>
//   clock <running 0/1> <animated controls>
//   focus <name of the focused control> <its class> <the grid's ringed tile, -1 for none>
//   resources <GDI objects> <USER objects> <kernel handles>
//   bottom <gif mode> <advertisement ready 0/1> <opens in browser 0/1> <advertisement window open 0/1>
// where a button's image is its normal image (its background image when it has none) and
// any other control's its background image,
// and colours are ARGB in hex (0 for none).
#include "app/TestProbe.h"

#include <objidl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "app/MainUI.h"
#include "crash/ComponentsFolder.h"
#include "delivery/Files.h"
#include "net/Text.h"
#include "ui/CategoryContainer.h"
#include "ui/ImageContainer.h"
#include "ui/BottomContainer.h"
#include "ui/ImageScrollBar.h"
#include "ui/SearchContainer.h"
#include "uilib/UIButton.h"

namespace {

std::atomic<long long> firstPaintCounter{0};
struct Milestone {
    const char* name;
    long long counter;
};
Milestone milestones[16];
int milestoneCount = 0;  // the main thread alone marks

std::string Field(LPCTSTR text) {
    std::string utf8 = FromWide(text ? text : L"", CP_UTF8);
    for (char& c : utf8) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return utf8;
}

std::string Field(const std::string& ansi) {
    return Field(ToWide(ansi, CP_ACP).c_str());
}

void WriteControl(FILE* out, CControlUI* control, int depth) {
    if (!control) return;
    const RECT& pos = control->GetPos();
    LPCTSTR image = control->GetBkImage();
    auto* button = static_cast<CButtonUI*>(control->GetInterface(L"Button"));
    if (button && button->GetNormalImage() && *button->GetNormalImage()) image = button->GetNormalImage();
    DWORD textColor = 0;
    if (auto* label = static_cast<CLabelUI*>(control->GetInterface(L"Label"))) textColor = label->GetTextColor();
    fprintf(out, "control\t%d\t%s\t%s\t%ld\t%ld\t%ld\t%ld\t%d\t%s\t%s\t%08lX\t%08lX\t%08lX\n", depth,
            Field(control->GetClass()).c_str(), Field(control->GetName()).c_str(), pos.left,
            pos.top, pos.right, pos.bottom, control->IsVisible() ? 1 : 0,
            Field(control->GetText()).c_str(), Field(image).c_str(),
            static_cast<unsigned long>(control->GetBkColor()), static_cast<unsigned long>(textColor),
            static_cast<unsigned long>(control->GetBorderColor()));
    auto* container = static_cast<CContainerUI*>(control->GetInterface(L"Container"));
    if (!container) return;
    for (int i = 0; i < container->GetCount(); ++i) {
        WriteControl(out, container->GetItemAt(i), depth + 1);
    }
}

void WriteGrid(FILE* out) {
    CImageContainer* grid = CImageContainer::Instance();
    PictureLists& lists = grid->Lists();
    PictureLists::Selection selection = lists.CurrentSelection();
    fprintf(out, "grid\t%d\t%d\t%d\t%d\t%s\t%s\t%d\t%d\t%u\t%u\n", lists.mode.load(), lists.loadedCount.load(),
            lists.moreAvailable ? 1 : 0, grid->IsOnline() ? 1 : 0, Field(selection.categoryId).c_str(),
            Field(selection.keyword.c_str()).c_str(), lists.gifAutoPlay, lists.nextPage.load(),
            static_cast<unsigned>(lists.recentPictures.size()), static_cast<unsigned>(lists.sessionPicks.size()));
    int index = 0;
    for (CSingleImage* tile : grid->Tiles()) {
        CGifAnimUI* picture = tile->Picture();
        fprintf(out, "tile\t%d\t%d\t%s\t%s\t%d\t%d\t%d\t%u\t%d\t%d\t%08lX\n", index++, tile->IsVisible() ? 1 : 0,
                Field(tile->ImageId()).c_str(), Field(picture->GetBkImage()).c_str(), tile->IsDownloadRequested() ? 1 : 0,
                tile->RetryCount(), picture->IsPlaying() ? 1 : 0, picture->GetCurrentFrame(), tile->IsAnimate() ? 1 : 0,
                tile->IsHot() ? 1 : 0, static_cast<unsigned long>(tile->GetBorderColor()));
    }
    fprintf(out, "paths\t%s\t%s\n", Field(TempFolderPath("").c_str()).c_str(), Field(lists.recentFilePath.c_str()).c_str());
}

void WriteScrollBar(FILE* out) {
    CImageScrollBar* bar = CImageScrollBar::Instance();
    CSliderUI* slider = bar->Slider();
    fprintf(out, "scroll\t%d\t%d\t%d\t%d\t%d\t%ld\n", bar->CurrentPage(), bar->LastPage(), slider->GetValue(),
            slider->GetMaxValue(), bar->IsVisible() ? 1 : 0, slider->GetThumbSize().cy);
}

// What the process holds. Windows counts GDI and USER objects and handles itself; Wine
// answers 0 to those calls, so there the GDI handle table is walked (a handle value with
// no generation names its table slot), the process's windows are counted and the
// system's handle list is filtered by process.
int CountGdiObjects() {
    DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted) return static_cast<int>(counted);
    int n = 0;
    for (ULONG_PTR slot = 0x20; slot < 0x10000; slot++) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) n++;
    }
    return n;
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(hwnd, CountWindow, count);
    return TRUE;
}

int CountUserObjects() {
    DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (counted) return static_cast<int>(counted);
    int n = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

int CountHandles() {
    DWORD counted = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &counted) && counted) return static_cast<int>(counted);
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
    if (!query) return -1;
    std::vector<char> buffer(4 << 20);
    ULONG length = 0;
    if (query(16 /* SystemHandleInformation */, buffer.data(), static_cast<ULONG>(buffer.size()), &length) != 0) return -1;
    ULONG total = *reinterpret_cast<ULONG*>(buffer.data());
    auto* entries = reinterpret_cast<Entry*>(buffer.data() + sizeof(ULONG_PTR));
    int n = 0;
    for (ULONG i = 0; i < total && sizeof(ULONG_PTR) + (i + 1) * sizeof(Entry) <= buffer.size(); i++) {
        if (entries[i].pid == static_cast<USHORT>(GetCurrentProcessId())) n++;
    }
    return n;
}

void WriteBars(FILE* out, const CCategoryContainer* category, CPaintManagerUI& pm) {
    fprintf(out, "category\t%d\t%d\t%s\t%d\t%u\n", category->IsExpanded() ? 1 : 0, category->CurrentPage(),
            Field(category->SelectedName()).c_str(), category->RowCount(),
            static_cast<unsigned>(category->Buttons().size()));
    CSearchContainerUI* search = CSearchContainerUI::Instance();
    CControlUI* edit = pm.FindControl(L"SearchEdit");
    CControlUI* clear = pm.FindControl(L"EditDeleteBtn");
    fprintf(out, "search\t%d\t%s\t%s\t%d\n", search->IsEditing() ? 1 : 0, Field(search->Hint()).c_str(),
            Field(edit ? edit->GetText() : CDuiString()).c_str(), clear && clear->IsVisible() ? 1 : 0);
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

constexpr int kSwitches = 40;

// A page change of cached pictures as the user sees it: the tiles re-targeted and what
// changed painted to the end, pages 0 and 1 in turn (both shown once before, so nothing
// is downloaded or decoded). *fillMs gets the share of re-targeting the tiles.
double PageSwitchMs(HWND hwnd, double* fillMs) {
    CImageContainer* grid = CImageContainer::Instance();
    for (int page : {1, 0}) {
        grid->FillPage(page);
        UpdateWindow(hwnd);
    }
    double filling = 0;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kSwitches; i++) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        grid->FillPage(1 - i % 2);
        QueryPerformanceCounter(&b);
        filling += Milliseconds(a, b);
        UpdateWindow(hwnd);
    }
    QueryPerformanceCounter(&end);
    grid->FillPage(0);
    UpdateWindow(hwnd);
    *fillMs = filling / kSwitches;
    return Milliseconds(start, end) / kSwitches;
}

// The same pictures drawn bare: decoded once with GDI+, then 18 DrawImage calls at the
// tiles' places into a window-sized buffer and one BitBlt to the window, per switch.
double BareDrawMs(HWND hwnd, const std::vector<std::wstring>& files) {
    std::vector<std::unique_ptr<Gdiplus::Image>> images;
    for (const std::wstring& f : files) images.emplace_back(Gdiplus::Image::FromFile(f.c_str()));
    HDC windowDc = GetDC(hwnd);
    HDC buffer = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, 700, 470);
    HGDIOBJ old = SelectObject(buffer, bitmap);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kSwitches; i++) {
        Gdiplus::Graphics g(buffer);
        g.Clear(Gdiplus::Color(255, 255, 255, 255));
        for (size_t k = 0; k < images.size(); k++) {
            int x = 14 + 110 * static_cast<int>(k % 6), y = 112 + 110 * static_cast<int>(k / 6);
            g.DrawImage(images[k].get(), x + 3, y + 3, 96, 96);
        }
        BitBlt(windowDc, 0, 0, 700, 470, buffer, 0, 0, SRCCOPY);
    }
    QueryPerformanceCounter(&end);
    SelectObject(buffer, old);
    DeleteObject(bitmap);
    DeleteDC(buffer);
    ReleaseDC(hwnd, windowDc);
    InvalidateRect(hwnd, nullptr, FALSE);
    return Milliseconds(start, end) / kSwitches;
}

void WritePageSwitchBench(FILE* out, HWND hwnd) {
    std::vector<std::wstring> files;
    for (CSingleImage* tile : CImageContainer::Instance()->Tiles()) {
        if (tile->IsVisible()) files.push_back(tile->GetLocalPath());
    }
    double fillMs = 0;
    double ours = PageSwitchMs(hwnd, &fillMs);
    double bare = BareDrawMs(hwnd, files);
    fprintf(out, "pageswitch\t%.3f\t%.3f\t%u\t%.3f\n", ours, bare, static_cast<unsigned>(files.size()), fillMs);
}

}  // namespace

void MainWindowProbe::Mark(const char* name) {
    for (int i = 0; i < milestoneCount; i++) {
        if (strcmp(milestones[i].name, name) == 0) return;
    }
    if (milestoneCount >= 16) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    milestones[milestoneCount++] = {name, now.QuadPart};
}

void MainWindowProbe::Painted() {
    long long expected = 0;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    firstPaintCounter.compare_exchange_strong(expected, now.QuadPart);
}

bool MainWindowProbe::HandleMessage(CMainUI& window, UINT uMsg, WPARAM wParam, LPARAM,
                                    LRESULT& result) {
    static const UINT probeMessage = RegisterWindowMessageW(L"ZindleProbeDump");
    static const UINT benchMessage = RegisterWindowMessageW(L"ZindleProbeBench");
    if ((uMsg != probeMessage && uMsg != benchMessage) || uMsg == 0) return false;
    result = 0;
    wchar_t path[MAX_PATH] = {};
    if (!GlobalGetAtomNameW(static_cast<ATOM>(wParam), path, MAX_PATH)) return true;
    FILE* out = _wfopen(path, L"wb");
    if (!out) return true;
    HWND hwnd = window.GetHWND();
    if (uMsg == benchMessage) {
        WritePageSwitchBench(out, hwnd);
        fclose(out);
        result = 1;
        return true;
    }
    RECT rc = {};
    GetWindowRect(hwnd, &rc);
    fprintf(out, "window\t%ld\t%ld\t%ld\t%ld\t%d\t%d\n", rc.left, rc.top, rc.right, rc.bottom,
            IsWindowVisible(hwnd) ? 1 : 0, IsIconic(hwnd) ? 1 : 0);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    fprintf(out, "firstpaint\t%lld\t%lld\n", firstPaintCounter.load(), frequency.QuadPart);
    for (int i = 0; i < milestoneCount; i++) fprintf(out, "mark\t%s\t%lld\n", milestones[i].name, milestones[i].counter);
    fprintf(out, "categoryreply\t%u\n", static_cast<unsigned>(window.categoryReply.size()));
    fprintf(out, "components\t%s\n", Field(ComponentsFolder()).c_str());
    WriteControl(out, window.paintManager.GetRoot(), 0);
    WriteGrid(out);
    WriteScrollBar(out);
    WriteBars(out, window.categoryBar, window.paintManager);
    CControlUI* focused = window.paintManager.GetFocus();
    fprintf(out, "focus\t%s\t%s\t%d\n", Field(focused ? focused->GetName() : CDuiString()).c_str(),
            Field(focused ? focused->GetClass() : L"").c_str(), CImageContainer::Instance()->RingedTile());
    fprintf(out, "clock\t%d\t%u\n", window.paintManager.IsClockRunning() ? 1 : 0,
            static_cast<unsigned>(window.paintManager.GetAnimationCount()));
    fprintf(out, "resources\t%d\t%d\t%d\n", CountGdiObjects(), CountUserObjects(), CountHandles());
    CAdvButton* advert = window.bottomBar->AdvertButton();
    fprintf(out, "bottom\t%s\t%d\t%d\t%d\n", Field(window.bottomBar->GifMode()).c_str(), advert->IsReady() ? 1 : 0,
            advert->OpensInBrowser() ? 1 : 0, window.advertWindow ? 1 : 0);
    fclose(out);
    result = 1;
    return true;
}
