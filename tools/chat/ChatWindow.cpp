// The stand-in chat window. Its rich-edit input handles Shift+Insert, Ctrl+V and WM_PASTE
// itself (Wine's rich edit does not paste on Shift+Insert and knows neither picture
// format), lists the formats found and draws the named picture with GDI+, animating GIFs.
#include "tools/chat/ChatWindow.h"
#include "tools/chat/PasteRecord.h"
#include "tools/chat/PastedContent.h"
#include <richedit.h>
#include <objidl.h>
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
#include <memory>
#include <string>

namespace {
const wchar_t kChatClass[] = L"ZindleChatStandIn";
constexpr int kClientWidth = 270;  // fits left of the centred picker on a 1280-wide screen
constexpr int kClientHeight = 520;
constexpr int kMargin = 10;
constexpr int kInputHeight = 90;
constexpr int kFormatsHeight = 96;
constexpr UINT_PTR kFrameTimer = 1;
constexpr int kControlInput = 100;

struct ChatState {
    HWND window = nullptr;
    HWND input = nullptr;
    HWND formatsLabel = nullptr;
    WNDPROC inputProc = nullptr;
    std::unique_ptr<Gdiplus::Image> picture;
    std::wstring picturePath;
    UINT frameCount = 1;
    UINT frame = 0;
    bool recordDrawn = false;
};
ChatState gChat;

RECT PicturePane() {
    int top = kMargin + kInputHeight + kMargin + kFormatsHeight + kMargin;
    return RECT{kMargin, top, kClientWidth - kMargin, kClientHeight - kMargin};
}

// The picture's rectangle in the pane: natural size, shrunk to fit, centred.
RECT PictureRect() {
    RECT pane = PicturePane();
    int paneW = pane.right - pane.left, paneH = pane.bottom - pane.top;
    int w = static_cast<int>(gChat.picture->GetWidth()), h = static_cast<int>(gChat.picture->GetHeight());
    if (w > paneW || h > paneH) {
        double scale = std::min(double(paneW) / w, double(paneH) / h);
        w = std::max(1, int(w * scale));
        h = std::max(1, int(h * scale));
    }
    int left = pane.left + (paneW - w) / 2, top = pane.top + (paneH - h) / 2;
    return RECT{left, top, left + w, top + h};
}

// Milliseconds the current GIF frame stays; tiny or missing delays count as 100 ms.
UINT FrameDelayMs() {
    UINT size = gChat.picture->GetPropertyItemSize(PropertyTagFrameDelay);
    if (size == 0) return 100;
    std::unique_ptr<char[]> buffer(new char[size]);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.get());
    if (gChat.picture->GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok) return 100;
    UINT count = item->length / 4;
    UINT delay = gChat.frame < count ? static_cast<UINT*>(item->value)[gChat.frame] * 10 : 0;
    return delay < 20 ? 100 : delay;
}

void ShowPicture(const std::wstring& path) {
    KillTimer(gChat.window, kFrameTimer);
    gChat.picture.reset();
    gChat.picturePath = path;
    gChat.frameCount = 1;
    gChat.frame = 0;
    if (!path.empty()) {
        auto image = std::make_unique<Gdiplus::Image>(path.c_str());
        if (image->GetLastStatus() == Gdiplus::Ok && image->GetWidth() > 0) {
            gChat.picture = std::move(image);
            GUID dimension = Gdiplus::FrameDimensionTime;
            UINT frames = gChat.picture->GetFrameCount(&dimension);
            gChat.frameCount = frames > 0 ? frames : 1;
        }
    }
    if (gChat.frameCount > 1) SetTimer(gChat.window, kFrameTimer, FrameDelayMs(), nullptr);
    gChat.recordDrawn = true;
    InvalidateRect(gChat.window, nullptr, TRUE);
}

void NextFrame() {
    gChat.frame = (gChat.frame + 1) % gChat.frameCount;
    GUID dimension = Gdiplus::FrameDimensionTime;
    gChat.picture->SelectActiveFrame(&dimension, gChat.frame);
    SetTimer(gChat.window, kFrameTimer, FrameDelayMs(), nullptr);
    RECT r = PictureRect();
    InvalidateRect(gChat.window, &r, FALSE);
}

std::wstring Hex(unsigned value) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%02x", value);
    return text;
}

void Paste(const wchar_t* how) {
    RecordLine(std::wstring(L"paste via=") + how);
    PastedContent content = ReadPastedContent(gChat.window);
    std::wstring shown = L"Formats:";
    for (const ClipboardFormatInfo& f : content.formats) {
        RecordLine(L"format id=" + std::to_wstring(f.id) + L" name=" + f.name + L" size=" + std::to_wstring(f.size));
        shown += (&f == &content.formats.front() ? L" " : L", ") + f.name;
    }
    if (content.formats.empty()) shown += L" (none)";
    ShowPicture(content.picturePath);
    if (gChat.picture) {
        RecordLine(L"picture source=" + content.pictureSource + L" path=" + content.picturePath +
                   L" width=" + std::to_wstring(gChat.picture->GetWidth()) +
                   L" height=" + std::to_wstring(gChat.picture->GetHeight()) +
                   L" frames=" + std::to_wstring(gChat.frameCount));
        shown += L"\r\nPicture: " + content.picturePath;
        std::wstring name = content.picturePath.substr(content.picturePath.find_last_of(L'\\') + 1);
        std::wstring inserted = L"[" + name + L"]";
        SendMessageW(gChat.input, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
    } else {
        RecordLine(content.picturePath.empty() ? L"picture none" : L"picture unreadable path=" + content.picturePath);
        shown += content.picturePath.empty() ? L"\r\nNo picture" : L"\r\nCannot read " + content.picturePath;
    }
    SetWindowTextW(gChat.formatsLabel, shown.c_str());
    RecordLine(L"end");
}

LRESULT CALLBACK InputProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
        RecordLine(L"key down vk=" + Hex(unsigned(wp)) + L" scan=" + Hex((lp >> 16) & 0xFF) +
                   L" extended=" + std::to_wstring((lp >> 24) & 1) + L" shift=" + std::to_wstring(shift));
        if (wp == VK_INSERT && shift && !ctrl) {
            Paste(L"shift+insert");
            return 0;
        }
        if (wp == 'V' && ctrl && !shift) {
            Paste(L"ctrl+v");
            return 0;
        }
    }
    if (msg == WM_PASTE) {
        Paste(L"wm_paste");
        return 0;
    }
    return CallWindowProcW(gChat.inputProc, hwnd, msg, wp, lp);
}

void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT pane = PicturePane();
    FrameRect(dc, &pane, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    if (gChat.picture) {
        RECT r = PictureRect();
        Gdiplus::Graphics graphics(dc);
        graphics.DrawImage(gChat.picture.get(), int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top));
        if (gChat.recordDrawn) {
            // Screen coordinates, so a test can look at the pixels that were drawn.
            MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
            RecordLine(L"drawn left=" + std::to_wstring(r.left) + L" top=" + std::to_wstring(r.top) +
                       L" right=" + std::to_wstring(r.right) + L" bottom=" + std::to_wstring(r.bottom));
            gChat.recordDrawn = false;
        }
    }
    EndPaint(hwnd, &ps);
}

void CreateChildren(HWND hwnd) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    gChat.input = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL,
                                  kMargin, kMargin, kClientWidth - 2 * kMargin, kInputHeight, hwnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlInput)), instance, nullptr);
    gChat.formatsLabel = CreateWindowExW(0, L"STATIC", L"Formats: (nothing pasted yet)", WS_CHILD | WS_VISIBLE,
                                         kMargin, kMargin + kInputHeight + kMargin, kClientWidth - 2 * kMargin,
                                         kFormatsHeight, hwnd, nullptr, instance, nullptr);
    SendMessageW(gChat.formatsLabel, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (gChat.input) {
        gChat.inputProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(gChat.input, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputProc)));
    }
}

LRESULT CALLBACK ChatProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        gChat.window = hwnd;
        CreateChildren(hwnd);
        return 0;
    case WM_SETFOCUS:
        // Keys typed into the window go to its input box, as in a chat window.
        if (gChat.input) SetFocus(gChat.input);
        return 0;
    case WM_TIMER:
        if (wp == kFrameTimer && gChat.picture && gChat.frameCount > 1) NextFrame();
        return 0;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd, kFrameTimer);
        gChat.picture.reset();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}
}  // namespace

HWND CreateChatWindow(HINSTANCE instance, POINT at) {
    // Without msftedit.dll there is no RichEdit50W; an input box is still needed, so fail.
    if (!LoadLibraryW(L"msftedit.dll")) return nullptr;
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = ChatProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kChatClass;
    if (!RegisterClassExW(&wc)) return nullptr;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRect(&frame, style, FALSE);
    HWND hwnd = CreateWindowExW(0, kChatClass, L"Chat stand-in", style, at.x, at.y, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (hwnd && !gChat.input) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    return hwnd;
}
