// Test helpers: the test window, input messages, pixel read-back, scratch pictures.
#include "uilib/tests/TestWindow.h"
#include <objidl.h>
#include <gdiplus.h>
#include <windowsx.h>
#include <cstdio>

void PrintTo(const CDuiString& s, std::ostream* os) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, s.GetData(), s.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string utf8(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, s.GetData(), s.GetLength(), &utf8[0], n, nullptr, nullptr);
    *os << '"' << utf8 << '"';
}

bool EventLog::OnEvent(void* param) {
    auto* e = static_cast<TEventUI*>(param);
    entries.push_back(std::to_wstring(e->Type));
    return !consume;
}

bool EventLog::OnNotify(void* param) {
    auto* n = static_cast<TNotifyUI*>(param);
    entries.push_back(std::wstring(n->sType.GetData()));
    return !consume;
}

void EventLog::Attach(CControlUI* control) {
    control->OnEvent += MakeDelegate(this, &EventLog::OnEvent);
    control->OnNotify += MakeDelegate(this, &EventLog::OnNotify);
}

TestWindow::~TestWindow() { Destroy(); }

bool TestWindow::Open(CControlUI* root, int width, int height, int x, int y) {
    if (!Create(nullptr, L"uilib test", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, x, y, width, height))
        return false;
    pm.AttachDialog(root);
    pm.AddNotifier(this);
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(m_hWnd);
    Pump();
    return true;
}

void TestWindow::Destroy() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    Pump();
}

void TestWindow::Notify(TNotifyUI& msg) {
    notifications.push_back(std::wstring(msg.sType.GetData()) + L":" + msg.pSender->GetName().GetData());
}

LRESULT TestWindow::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_CREATE) {
        pm.Init(m_hWnd);
        return 0;
    }
    LRESULT lRes = 0;
    if (pm.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void TestWindow::MouseMove(int x, int y, WPARAM keys) { SendMessageW(WM_MOUSEMOVE, keys, MAKELPARAM(x, y)); }
void TestWindow::MouseDown(int x, int y) { SendMessageW(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
void TestWindow::MouseUp(int x, int y) { SendMessageW(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
void TestWindow::DoubleClick(int x, int y) { SendMessageW(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y)); }
void TestWindow::MouseLeaveWindow() { SendMessageW(WM_MOUSELEAVE, 0, 0); }

void TestWindow::Wheel(int x, int y, int delta) {
    POINT pt = {x, y};
    ::ClientToScreen(m_hWnd, &pt);
    SendMessageW(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), MAKELPARAM(pt.x, pt.y));
}

void TestWindow::Click(int x, int y) {
    MouseMove(x, y);
    MouseDown(x, y);
    MouseUp(x, y);
}

void TestWindow::KeyDown(UINT key) { SendMessageW(WM_KEYDOWN, key, 1); }

void TestWindow::Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

TestWindow::Pixels TestWindow::Snapshot() {
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = rc.right;
    bmi.bmiHeader.biHeight = -rc.bottom;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, bmp);
    SendMessageW(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ::GdiFlush();
    Pixels pixels;
    pixels.width = rc.right;
    pixels.height = rc.bottom;
    pixels.data.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + rc.right * rc.bottom);
    for (DWORD& p : pixels.data) p &= 0x00FFFFFF;
    ::SelectObject(dc, old);
    ::DeleteObject(bmp);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// ---- scratch files ------------------------------------------------------------------

namespace {
struct Scratch {
    std::wstring folder;
    std::vector<std::wstring> files;
    ~Scratch() {
        for (const auto& f : files) ::DeleteFileW(f.c_str());
        if (!folder.empty()) ::RemoveDirectoryW(folder.c_str());
    }
};
Scratch g_scratch;

bool EncoderFor(const wchar_t* mimeType, CLSID& clsid) {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buf(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.data());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; i++) {
        if (wcscmp(codecs[i].MimeType, mimeType) == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}
}  // namespace

std::wstring ScratchFolder() {
    if (g_scratch.folder.empty()) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        g_scratch.folder = std::wstring(temp) + L"uilib-tests-" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(g_scratch.folder.c_str(), nullptr);
    }
    return g_scratch.folder;
}

std::wstring WriteScratchFile(const std::wstring& name, const std::string& bytes) {
    std::wstring path = ScratchFolder() + L"\\" + name;
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
    g_scratch.files.push_back(path);
    return path;
}

std::wstring SavePicture(const std::wstring& name, int width, int height, DWORD (*fill)(int, int),
                         const wchar_t* mimeType) {
    CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));  // starts GDI+
    std::wstring path = ScratchFolder() + L"\\" + name;
    Gdiplus::Bitmap bmp(width, height, PixelFormat32bppARGB);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) bmp.SetPixel(x, y, Gdiplus::Color(fill(x, y)));
    }
    CLSID clsid;
    if (!EncoderFor(mimeType, clsid) || bmp.Save(path.c_str(), &clsid, nullptr) != Gdiplus::Ok) return L"";
    g_scratch.files.push_back(path);
    return path;
}

// ---- GIF writer ---------------------------------------------------------------------

namespace {
// LZW with 9-bit codes only: literal codes, a clear code often enough that the code
// table never grows past 9 bits. Valid for every decoder, if not compact.
std::string LzwLiterals(const std::vector<BYTE>& pixels) {
    const int clear = 256, end = 257;
    std::string out;
    unsigned acc = 0;
    int bits = 0;
    auto put = [&](int code) {
        acc |= static_cast<unsigned>(code) << bits;
        bits += 9;
        while (bits >= 8) {
            out += static_cast<char>(acc & 0xFF);
            acc >>= 8;
            bits -= 8;
        }
    };
    put(clear);
    int sinceClear = 0;
    for (BYTE p : pixels) {
        if (sinceClear == 200) {
            put(clear);
            sinceClear = 0;
        }
        put(p);
        sinceClear++;
    }
    put(end);
    if (bits > 0) out += static_cast<char>(acc & 0xFF);
    return out;
}

void PutShort(std::string& s, int v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
}  // namespace

std::string MakeGif(const std::vector<GifFrameSpec>& frames, int loopCount, int size) {
    const int w = size, h = size;
    std::string s = "GIF89a";
    PutShort(s, w);
    PutShort(s, h);
    s += static_cast<char>(0xF7);  // global colour table of 256 entries
    s += '\0';
    s += '\0';
    const BYTE palette[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (int i = 0; i < 256; i++) {
        for (int c = 0; c < 3; c++) s += static_cast<char>(i < 4 ? palette[i][c] : 0);
    }
    if (loopCount >= 0) {
        s += "\x21\xFF\x0BNETSCAPE2.0\x03\x01";
        PutShort(s, loopCount);
        s += '\0';
    }
    for (const GifFrameSpec& f : frames) {
        s += "\x21\xF9\x04";
        s += '\0';  // no disposal, no transparency
        PutShort(s, f.delayCs);
        s += '\0';
        s += '\0';
        s += ',';
        PutShort(s, 0);
        PutShort(s, 0);
        PutShort(s, w);
        PutShort(s, h);
        s += '\0';
        s += static_cast<char>(8);  // minimum code size
        std::string data = LzwLiterals(std::vector<BYTE>(w * h, static_cast<BYTE>(f.colorIndex)));
        for (size_t i = 0; i < data.size(); i += 255) {
            size_t n = std::min<size_t>(255, data.size() - i);
            s += static_cast<char>(n);
            s += data.substr(i, n);
        }
        s += '\0';
    }
    s += ';';
    return s;
}
