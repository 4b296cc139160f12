// The paint manager: painting into a back buffer, the window's input turned into
// control events, focus, hover and capture, fonts, timers and the animation clock.
#include "uilib/UIManager.h"
#include "uilib/UIControl.h"
#include "uilib/UIEdit.h"
#include "uilib/UIImage.h"
#include "uilib/Render.h"
#include "uilib/Occlusion.h"
#include "base/DetachedThread.h"
#include "base/WinHandle.h"
#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>
#include <objidl.h>
#include <gdiplus.h>
#include <windowsx.h>

namespace {

constexpr UINT_PTR kAnimationTimerId = 0x7F00;
// While nobody can see the window the clock rests; this slow timer looks again.
constexpr UINT_PTR kUnseenWatchTimerId = 0x7F01;
constexpr UINT kUnseenWatchMs = 300;
constexpr UINT_PTR kFirstControlTimerId = 0x1000;
constexpr UINT kAsyncNotifyMessage = WM_APP + 0x3F0;
constexpr UINT kMinAnimationWaitMs = 10;

// Notifier and filter lists hold each listener once.
template <typename T>
bool Contains(const std::vector<T*>& list, T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

template <typename T>
bool AddOnce(std::vector<T*>& list, T* item) {
    if (!item || Contains(list, item)) return false;
    list.push_back(item);
    return true;
}

template <typename T>
bool RemoveOnce(std::vector<T*>& list, T* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}
// Messages reflected to native child controls (the usual OCM_ numbering).
constexpr UINT kReflectBase = WM_USER + 0x1C00;

HINSTANCE g_instance = nullptr;
CDuiString g_resourcePath;
// Windows with a paint manager, for the pre-message filters (UI thread only).
std::vector<CPaintManagerUI*> g_managers;

struct CachedImage {
    std::weak_ptr<UIImage> image;
    FILETIME written = {};
    ULONGLONG size = 0;
    DWORD checkedTick = 0;
    bool checked = false;
};

// Image cache keyed by the resolved path. Weak entries keep only what some control
// still shows; the recent list keeps the last few alive so that a page change back and
// forth does not decode again. A file is looked at again at most once a second, so
// a picture rewritten on disk (a download that finished) shows its new content.
std::mutex g_imageCacheLock;
std::map<std::wstring, CachedImage> g_imageCache;
std::vector<std::shared_ptr<UIImage>> g_recentImages;
constexpr size_t kRecentImagesKept = 48;
constexpr DWORD kImageRecheckMs = 1000;

std::wstring CacheKey(const CDuiString& path) {
    std::wstring key = path.Str();
    for (auto& c : key) c = towlower(c == L'/' ? L'\\' : c);
    return key;
}

void KeepRecent(const std::shared_ptr<UIImage>& image) {
    auto it = std::find(g_recentImages.begin(), g_recentImages.end(), image);
    if (it != g_recentImages.end()) g_recentImages.erase(it);
    g_recentImages.push_back(image);
    if (g_recentImages.size() > kRecentImagesKept) g_recentImages.erase(g_recentImages.begin());
}

struct TimerInfo {
    CControlUI* control;
    UINT localId;
    UINT_PTR windowId;
};

struct Animation {
    CControlUI* control;
    DWORD due;
};

bool TickReached(DWORD now, DWORD due) { return static_cast<LONG>(now - due) >= 0; }

CControlUI* CALLBACK FindControlFromPoint(CControlUI* control, LPVOID data) {
    const POINT* pt = static_cast<const POINT*>(data);
    const RECT& rc = control->GetPos();
    return ::PtInRect(&rc, *pt) ? control : nullptr;
}

CControlUI* CALLBACK FindControlFromName(CControlUI* control, LPVOID data) {
    LPCTSTR name = static_cast<LPCTSTR>(data);
    return control->GetName() == name ? control : nullptr;
}

WORD MapKeyState() {
    WORD state = 0;
    if (::GetKeyState(VK_CONTROL) < 0) state |= MK_CONTROL;
    if (::GetKeyState(VK_LBUTTON) < 0) state |= MK_LBUTTON;
    if (::GetKeyState(VK_RBUTTON) < 0) state |= MK_RBUTTON;
    if (::GetKeyState(VK_SHIFT) < 0) state |= MK_SHIFT;
    return state;
}

bool IsAncestorOrSelf(CControlUI* ancestor, CControlUI* control) {
    for (CControlUI* c = control; c; c = c->GetParent()) {
        if (c == ancestor) return true;
    }
    return false;
}

}  // namespace

struct PaintManagerState {
    HWND hwnd = nullptr;
    CDuiString name;
    SIZE initSize = {0, 0};
    RECT caption = {0, 0, 0, 0};
    CControlUI* root = nullptr;
    CControlUI* focus = nullptr;
    CControlUI* hover = nullptr;
    CControlUI* click = nullptr;  // pressed control, holds the mouse capture
    bool mouseTracking = false;
    bool captured = false;
    bool updateNeeded = false;
    int wheelRemainder = 0;
    POINT lastMouse = {-1, -1};

    std::vector<INotifyUI*> notifiers;
    std::vector<IMessageFilterUI*> preFilters;
    std::vector<IMessageFilterUI*> filters;
    std::vector<TNotifyUI> asyncNotifies;

    std::map<int, TFontInfo> fonts;
    TFontInfo defaultFont;
    DWORD defaultFontColor = 0xFF000000;
    std::map<std::tuple<int, bool, bool, bool>, HFONT> fontVariants;

    std::vector<TimerInfo> timers;
    UINT_PTR nextTimerId = kFirstControlTimerId;
    std::vector<Animation> animations;
    bool clockRunning = false;

    MemoryDcHandle bufferDc;
    GdiObjectHandle bufferBitmap;
    HGDIOBJ bufferOldBitmap = nullptr;
    SIZE bufferSize = {0, 0};
    Gdiplus::Graphics* graphics = nullptr;
    HDC paintDc = nullptr;
};

// ---- process-wide -----------------------------------------------------------------

void CPaintManagerUI::SetInstance(HINSTANCE hInst) {
    g_instance = hInst;
    EnsureGdiplus();
}

void CPaintManagerUI::WarmUp(const std::vector<std::wstring>& faces) {
    StartDetachedThread([faces] {
        MemoryDcHandle dc(::CreateCompatibleDC(nullptr));
        for (const std::wstring& face : faces) {
            LOGFONTW lf = {};
            lf.lfHeight = -12;
            lf.lfCharSet = DEFAULT_CHARSET;
            ::lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
            GdiObjectHandle font(::CreateFontIndirectW(&lf));
            HGDIOBJ old = ::SelectObject(dc.Get(), font.Get());
            TEXTMETRICW tm;
            ::GetTextMetricsW(dc.Get(), &tm);
            ::SelectObject(dc.Get(), old);
        }
    });
    StartDetachedThread([] {
        // The smallest GIF there is: GDI+ loads its decoders for it.
        static const unsigned char kPixel[] = {
            'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x21, 0xF9, 4, 1, 0,
            0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0};
        UIImage::Decode(kPixel, sizeof(kPixel));
    });
}

HINSTANCE CPaintManagerUI::GetInstance() { return g_instance ? g_instance : ::GetModuleHandleW(nullptr); }

CDuiString CPaintManagerUI::GetInstancePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(GetInstance(), &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return CDuiString();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L"\\/");
    return CDuiString(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1));
}

void CPaintManagerUI::SetResourcePath(LPCTSTR path) {
    g_resourcePath = path;
    if (!g_resourcePath.IsEmpty()) {
        wchar_t last = g_resourcePath[g_resourcePath.GetLength() - 1];
        if (last != L'\\' && last != L'/') g_resourcePath += L'\\';
    }
}

const CDuiString& CPaintManagerUI::GetResourcePath() { return g_resourcePath; }

CDuiString CPaintManagerUI::ResolveResourcePath(LPCTSTR name) {
    if (!name || !*name) return CDuiString();
    bool absolute = (name[0] && name[1] == L':') || name[0] == L'\\' || name[0] == L'/';
    return absolute ? CDuiString(name) : g_resourcePath + name;
}

void CPaintManagerUI::MessageLoop() {
    MSG msg = {};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

bool CPaintManagerUI::TranslateMessage(const LPMSG pMsg) {
    if (!pMsg || !pMsg->hwnd) return false;
    auto managers = g_managers;
    for (CPaintManagerUI* pm : managers) {
        if (std::find(g_managers.begin(), g_managers.end(), pm) == g_managers.end()) continue;
        HWND hwnd = pm->GetPaintWindow();
        if (!hwnd || (pMsg->hwnd != hwnd && !::IsChild(hwnd, pMsg->hwnd))) continue;
        LRESULT lRes = 0;
        if (pm->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, lRes)) return true;
    }
    return false;
}

std::shared_ptr<UIImage> CPaintManagerUI::GetImage(LPCTSTR name) {
    CDuiString path = ResolveResourcePath(name);
    if (path.IsEmpty()) return nullptr;
    std::wstring key = CacheKey(path);
    DWORD now = ::GetTickCount();
    std::lock_guard<std::mutex> lock(g_imageCacheLock);
    CachedImage& entry = g_imageCache[key];
    std::shared_ptr<UIImage> image = entry.image.lock();
    if (entry.checked && now - entry.checkedTick < kImageRecheckMs) {
        if (image) KeepRecent(image);
        return image;
    }
    entry.checked = true;
    entry.checkedTick = now;
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    if (!::GetFileAttributesExW(path, GetFileExInfoStandard, &info)) {
        entry.image.reset();
        return nullptr;
    }
    ULONGLONG size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    bool unchanged = size == entry.size && ::CompareFileTime(&info.ftLastWriteTime, &entry.written) == 0;
    if (!image || !unchanged) {
        image = UIImage::Load(path.Str());
        entry.image = image;
        entry.size = size;
        entry.written = info.ftLastWriteTime;
    }
    if (image) KeepRecent(image);
    return image;
}

void CPaintManagerUI::ClearImageCache() {
    std::lock_guard<std::mutex> lock(g_imageCacheLock);
    g_imageCache.clear();
    g_recentImages.clear();
}

// ---- per window: set-up -------------------------------------------------------------

CPaintManagerUI::CPaintManagerUI() : s_(std::make_unique<PaintManagerState>()) {
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    s_->defaultFont.hFont = ::CreateFontIndirectW(&lf);
    s_->defaultFont.sFontName = lf.lfFaceName;
    s_->defaultFont.iSize = -lf.lfHeight;
}

CPaintManagerUI::~CPaintManagerUI() {
    g_managers.erase(std::remove(g_managers.begin(), g_managers.end(), this), g_managers.end());
    if (s_->hwnd && ::IsWindow(s_->hwnd)) {
        for (const TimerInfo& t : s_->timers) ::KillTimer(s_->hwnd, t.windowId);
        ::KillTimer(s_->hwnd, kAnimationTimerId);
    }
    CControlUI* root = s_->root;
    s_->root = nullptr;
    delete root;
    if (s_->bufferDc && s_->bufferOldBitmap) ::SelectObject(s_->bufferDc.Get(), s_->bufferOldBitmap);
    for (auto& f : s_->fonts) ::DeleteObject(f.second.hFont);
    for (auto& v : s_->fontVariants) ::DeleteObject(v.second);
    ::DeleteObject(s_->defaultFont.hFont);
}

void CPaintManagerUI::Init(HWND hWnd, LPCTSTR pstrName) {
    EnsureGdiplus();
    s_->hwnd = hWnd;
    s_->name = pstrName;
    if (std::find(g_managers.begin(), g_managers.end(), this) == g_managers.end()) g_managers.push_back(this);
}

HWND CPaintManagerUI::GetPaintWindow() const { return s_->hwnd; }
CDuiString CPaintManagerUI::GetName() const { return s_->name; }
SIZE CPaintManagerUI::GetInitSize() const { return s_->initSize; }

void CPaintManagerUI::SetInitSize(int cx, int cy) {
    s_->initSize = {cx, cy};
    // Sizes the window until a layout is attached (a layout may bring its own size).
    if (!s_->root && s_->hwnd && cx > 0 && cy > 0)
        ::SetWindowPos(s_->hwnd, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

SIZE CPaintManagerUI::GetClientSize() const {
    RECT rc = {0, 0, 0, 0};
    if (s_->hwnd) ::GetClientRect(s_->hwnd, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

RECT& CPaintManagerUI::GetCaptionRect() { return s_->caption; }
void CPaintManagerUI::SetCaptionRect(RECT& rcCaption) { s_->caption = rcCaption; }
void CPaintManagerUI::SetCaptionRect(const RECT& rcCaption) { s_->caption = rcCaption; }

// ---- fonts --------------------------------------------------------------------------

HFONT CPaintManagerUI::AddFont(int id, LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                               bool bItalic, bool /*bShared*/) {
    LOGFONTW lf = {};
    ::GetObjectW(s_->defaultFont.hFont, sizeof(lf), &lf);
    if (pStrFontName && *pStrFontName) ::lstrcpynW(lf.lfFaceName, pStrFontName, LF_FACESIZE);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -nSize;
    lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = bUnderline;
    lf.lfItalic = bItalic;
    lf.lfQuality = CLEARTYPE_QUALITY;
    HFONT font = ::CreateFontIndirectW(&lf);
    if (!font) return nullptr;

    auto it = s_->fonts.find(id);
    if (it != s_->fonts.end()) ::DeleteObject(it->second.hFont);
    for (auto v = s_->fontVariants.begin(); v != s_->fontVariants.end();) {
        if (std::get<0>(v->first) == id) {
            ::DeleteObject(v->second);
            v = s_->fontVariants.erase(v);
        } else {
            ++v;
        }
    }
    TFontInfo& info = s_->fonts[id];
    info.hFont = font;
    info.sFontName = lf.lfFaceName;
    info.iSize = nSize;
    info.bBold = bBold;
    info.bUnderline = bUnderline;
    info.bItalic = bItalic;
    HDC dc = ::GetDC(s_->hwnd);
    HGDIOBJ old = ::SelectObject(dc, font);
    ::GetTextMetricsW(dc, &info.tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(s_->hwnd, dc);
    if (s_->hwnd) Invalidate();
    return font;
}

TFontInfo* CPaintManagerUI::GetFontInfo(int id) {
    auto it = s_->fonts.find(id);
    return it != s_->fonts.end() ? &it->second : &s_->defaultFont;
}

HFONT CPaintManagerUI::GetFont(int id) { return GetFontInfo(id)->hFont; }

HFONT CPaintManagerUI::GetFontVariant(int id, bool bBold, bool bUnderline, bool bItalic) {
    TFontInfo* base = GetFontInfo(id);
    if (bBold == base->bBold && bUnderline == base->bUnderline && bItalic == base->bItalic) return base->hFont;
    auto key = std::make_tuple(id, bBold, bUnderline, bItalic);
    auto it = s_->fontVariants.find(key);
    if (it != s_->fontVariants.end()) return it->second;
    LOGFONTW lf = {};
    ::GetObjectW(base->hFont, sizeof(lf), &lf);
    lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = bUnderline;
    lf.lfItalic = bItalic;
    HFONT font = ::CreateFontIndirectW(&lf);
    if (!font) return base->hFont;
    s_->fontVariants[key] = font;
    return font;
}

void CPaintManagerUI::SetDefaultFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic) {
    LOGFONTW lf = {};
    ::GetObjectW(s_->defaultFont.hFont, sizeof(lf), &lf);
    if (pStrFontName && *pStrFontName) ::lstrcpynW(lf.lfFaceName, pStrFontName, LF_FACESIZE);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -nSize;
    lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = bUnderline;
    lf.lfItalic = bItalic;
    HFONT font = ::CreateFontIndirectW(&lf);
    if (!font) return;
    ::DeleteObject(s_->defaultFont.hFont);
    s_->defaultFont.hFont = font;
    s_->defaultFont.sFontName = lf.lfFaceName;
    s_->defaultFont.iSize = nSize;
    s_->defaultFont.bBold = bBold;
    s_->defaultFont.bUnderline = bUnderline;
    s_->defaultFont.bItalic = bItalic;
}

DWORD CPaintManagerUI::GetDefaultFontColor() const { return s_->defaultFontColor; }
void CPaintManagerUI::SetDefaultFontColor(DWORD dwColor) { s_->defaultFontColor = dwColor; }

// ---- the control tree ---------------------------------------------------------------

bool CPaintManagerUI::AttachDialog(CControlUI* pControl) {
    if (!pControl) return false;
    SetFocus(nullptr);
    s_->hover = nullptr;
    s_->click = nullptr;
    if (s_->root && s_->root != pControl) delete s_->root;
    s_->root = pControl;
    NeedUpdate();
    return InitControls(pControl);
}

bool CPaintManagerUI::InitControls(CControlUI* pControl, CControlUI* pParent) {
    if (!pControl) return false;
    pControl->SetManager(this, pParent ? pParent : pControl->GetParent(), true);
    return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* pControl) {
    if (!pControl) return;
    if (IsAncestorOrSelf(pControl, s_->focus)) s_->focus = nullptr;
    if (IsAncestorOrSelf(pControl, s_->hover)) s_->hover = nullptr;
    if (IsAncestorOrSelf(pControl, s_->click)) {
        s_->click = nullptr;
        ReleaseCapture();
    }
    if (s_->root == pControl) s_->root = nullptr;
    KillTimer(pControl);
    StopAnimation(pControl);
    auto& q = s_->asyncNotifies;
    q.erase(std::remove_if(q.begin(), q.end(), [&](const TNotifyUI& n) { return n.pSender == pControl; }), q.end());
}

CControlUI* CPaintManagerUI::GetRoot() const { return s_->root; }

bool CPaintManagerUI::AddNotifier(INotifyUI* pNotifier) { return AddOnce(s_->notifiers, pNotifier); }

bool CPaintManagerUI::RemoveNotifier(INotifyUI* pNotifier) { return RemoveOnce(s_->notifiers, pNotifier); }

void CPaintManagerUI::SendNotify(CControlUI* pControl, LPCTSTR pstrMessage, WPARAM wParam, LPARAM lParam,
                                 bool bAsync) {
    TNotifyUI msg;
    msg.pSender = pControl;
    msg.sType = pstrMessage;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, bAsync);
}

void CPaintManagerUI::SendNotify(TNotifyUI& Msg, bool bAsync) {
    Msg.ptMouse = s_->lastMouse;
    Msg.dwTimestamp = ::GetTickCount();
    if (bAsync && s_->hwnd) {
        s_->asyncNotifies.push_back(Msg);
        ::PostMessageW(s_->hwnd, kAsyncNotifyMessage, 0, 0);
        return;
    }
    // The sender's own delegates first; what they let through goes to the window.
    if (Msg.pSender && Msg.pSender->OnNotify) {
        if (!Msg.pSender->OnNotify(&Msg)) return;
    }
    auto notifiers = s_->notifiers;
    for (INotifyUI* n : notifiers) {
        if (Contains(s_->notifiers, n)) n->Notify(Msg);
    }
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* pFilter) { return AddOnce(s_->preFilters, pFilter); }

bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* pFilter) { return RemoveOnce(s_->preFilters, pFilter); }

bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* pFilter) { return AddOnce(s_->filters, pFilter); }

bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* pFilter) { return RemoveOnce(s_->filters, pFilter); }

CControlUI* CPaintManagerUI::FindControl(POINT pt) const {
    if (!s_->root) return nullptr;
    const_cast<CPaintManagerUI*>(this)->LayoutIfNeeded();
    return s_->root->FindControl(FindControlFromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindControl(LPCTSTR pstrName) const {
    if (!s_->root || !pstrName) return nullptr;
    return s_->root->FindControl(FindControlFromName, const_cast<LPTSTR>(pstrName), UIFIND_ALL);
}

// ---- focus, hover, capture ----------------------------------------------------------

CControlUI* CPaintManagerUI::GetFocus() const { return s_->focus; }
CControlUI* CPaintManagerUI::GetHover() const { return s_->hover; }

void CPaintManagerUI::SetFocus(CControlUI* pControl) {
    if (pControl == s_->focus) return;
    if (CControlUI* old = s_->focus) {
        s_->focus = nullptr;
        TEventUI event;
        event.Type = UIEVENT_KILLFOCUS;
        event.pSender = pControl;
        event.dwTimestamp = ::GetTickCount();
        old->Event(event);
        SendNotify(old, DUI_MSGTYPE_KILLFOCUS);
    }
    if (!pControl || pControl->GetManager() != this || !pControl->IsVisible() || !pControl->IsEnabled()) return;
    s_->focus = pControl;
    TEventUI event;
    event.Type = UIEVENT_SETFOCUS;
    event.pSender = pControl;
    event.dwTimestamp = ::GetTickCount();
    pControl->Event(event);
    if (s_->focus == pControl) SendNotify(pControl, DUI_MSGTYPE_SETFOCUS);
}

void CPaintManagerUI::SetCapture() {
    if (s_->hwnd) ::SetCapture(s_->hwnd);
    s_->captured = true;
}

void CPaintManagerUI::ReleaseCapture() {
    bool had = s_->captured;
    s_->captured = false;
    if (had && ::GetCapture() == s_->hwnd) ::ReleaseCapture();
}

bool CPaintManagerUI::IsCaptured() const { return s_->captured; }

// ---- timers and the animation clock -------------------------------------------------

bool CPaintManagerUI::SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse) {
    if (!s_->hwnd || !pControl) return false;
    for (TimerInfo& t : s_->timers) {
        if (t.control == pControl && t.localId == nTimerID) return ::SetTimer(s_->hwnd, t.windowId, uElapse, nullptr) != 0;
    }
    UINT_PTR id = s_->nextTimerId++;
    if (s_->nextTimerId >= kAnimationTimerId) s_->nextTimerId = kFirstControlTimerId;
    if (!::SetTimer(s_->hwnd, id, uElapse, nullptr)) return false;
    s_->timers.push_back({pControl, nTimerID, id});
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* pControl, UINT nTimerID) {
    for (auto it = s_->timers.begin(); it != s_->timers.end(); ++it) {
        if (it->control == pControl && it->localId == nTimerID) {
            if (s_->hwnd) ::KillTimer(s_->hwnd, it->windowId);
            s_->timers.erase(it);
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::KillTimer(CControlUI* pControl) {
    for (auto it = s_->timers.begin(); it != s_->timers.end();) {
        if (it->control == pControl) {
            if (s_->hwnd) ::KillTimer(s_->hwnd, it->windowId);
            it = s_->timers.erase(it);
        } else {
            ++it;
        }
    }
}

void CPaintManagerUI::StartAnimation(CControlUI* pControl) {
    if (!pControl || IsAnimating(pControl)) return;
    s_->animations.push_back({pControl, ::GetTickCount()});
    ScheduleClock(0);
}

void CPaintManagerUI::StopAnimation(CControlUI* pControl) {
    auto& a = s_->animations;
    a.erase(std::remove_if(a.begin(), a.end(), [&](const Animation& x) { return x.control == pControl; }), a.end());
    if (a.empty() && s_->clockRunning) {
        if (s_->hwnd) ::KillTimer(s_->hwnd, kAnimationTimerId);
        s_->clockRunning = false;
    }
}

bool CPaintManagerUI::IsAnimating(CControlUI* pControl) const {
    for (const Animation& a : s_->animations) {
        if (a.control == pControl) return true;
    }
    return false;
}

size_t CPaintManagerUI::GetAnimationCount() const { return s_->animations.size(); }
bool CPaintManagerUI::IsClockRunning() const { return s_->clockRunning; }

void CPaintManagerUI::ScheduleClock(DWORD waitMs) {
    if (!s_->hwnd || s_->animations.empty() || ::IsIconic(s_->hwnd)) return;
    ::SetTimer(s_->hwnd, kAnimationTimerId, std::max<DWORD>(waitMs, kMinAnimationWaitMs), nullptr);
    s_->clockRunning = true;
}

void CPaintManagerUI::RunAnimationClock() {
    if (!s_->hwnd) return;
    if (::IsIconic(s_->hwnd)) {
        // Nothing is seen while minimised: stop the clock until the window is restored.
        ::KillTimer(s_->hwnd, kAnimationTimerId);
        s_->clockRunning = false;
        return;
    }
    if (IsWindowUnseen(s_->hwnd)) {
        // Covered by other windows: no frame is worth drawing. The pictures go on from
        // where they were once the window can be seen again.
        ::KillTimer(s_->hwnd, kAnimationTimerId);
        s_->clockRunning = false;
        ::SetTimer(s_->hwnd, kUnseenWatchTimerId, kUnseenWatchMs, nullptr);
        return;
    }
    DWORD now = ::GetTickCount();
    DWORD wait = INFINITE;
    auto due = s_->animations;
    for (const Animation& a : due) {
        if (!IsAnimating(a.control)) continue;  // stopped by an earlier tick
        DWORD remaining;
        if (TickReached(now, a.due)) {
            remaining = a.control->OnAnimationTick(now);
            if (remaining == 0) {
                StopAnimation(a.control);
                continue;
            }
            for (Animation& x : s_->animations) {
                if (x.control == a.control) x.due = now + remaining;
            }
        } else {
            remaining = a.due - now;
        }
        wait = std::min(wait, remaining);
    }
    if (s_->animations.empty()) {
        ::KillTimer(s_->hwnd, kAnimationTimerId);
        s_->clockRunning = false;
        return;
    }
    ScheduleClock(wait);
}

// ---- painting -----------------------------------------------------------------------

void CPaintManagerUI::Invalidate() {
    if (s_->hwnd) ::InvalidateRect(s_->hwnd, nullptr, FALSE);
}

void CPaintManagerUI::Invalidate(const RECT& rcItem) {
    if (!s_->hwnd || rcItem.right <= rcItem.left || rcItem.bottom <= rcItem.top) return;
    ::InvalidateRect(s_->hwnd, &rcItem, FALSE);
}

void CPaintManagerUI::NeedUpdate() {
    s_->updateNeeded = true;
    Invalidate();
}

bool CPaintManagerUI::IsUpdateNeeded() const { return s_->updateNeeded; }

void CPaintManagerUI::LayoutIfNeeded() {
    if (!s_->updateNeeded || !s_->root || !s_->hwnd) return;
    s_->updateNeeded = false;
    RECT rc;
    ::GetClientRect(s_->hwnd, &rc);
    s_->root->SetPos(rc);
    Invalidate();
}

Gdiplus::Graphics* CPaintManagerUI::GetPaintGraphics() const { return s_->graphics; }
HDC CPaintManagerUI::GetPaintDC() const { return s_->paintDc; }

bool CPaintManagerUI::EnsureBackBuffer(HDC windowDc, SIZE size) {
    if (s_->bufferDc && s_->bufferSize.cx >= size.cx && s_->bufferSize.cy >= size.cy) return true;
    if (s_->bufferDc && s_->bufferOldBitmap) ::SelectObject(s_->bufferDc.Get(), s_->bufferOldBitmap);
    s_->bufferBitmap.Reset();
    s_->bufferDc.Reset(::CreateCompatibleDC(windowDc));
    if (!s_->bufferDc) return false;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = std::max<LONG>(size.cx, 1);
    bmi.bmiHeader.biHeight = -std::max<LONG>(size.cy, 1);
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    s_->bufferBitmap.Reset(::CreateDIBSection(windowDc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!s_->bufferBitmap) {
        s_->bufferDc.Reset();
        return false;
    }
    s_->bufferOldBitmap = ::SelectObject(s_->bufferDc.Get(), s_->bufferBitmap.Get());
    s_->bufferSize = size;
    return true;
}

void CPaintManagerUI::PaintInto(HDC hdc, const RECT& rcPaint) {
    ::SaveDC(hdc);
    ::IntersectClipRect(hdc, rcPaint.left, rcPaint.top, rcPaint.right, rcPaint.bottom);
    {
        Gdiplus::Graphics g(hdc);
        g.SetClip(Gdiplus::Rect(rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left,
                                rcPaint.bottom - rcPaint.top));
        s_->graphics = &g;
        s_->paintDc = hdc;
        render::FillColor(this, rcPaint, 0xFFFFFFFF);
        if (s_->root) s_->root->DoPaint(hdc, rcPaint);
        g.Flush(Gdiplus::FlushIntentionSync);
        s_->graphics = nullptr;
        s_->paintDc = nullptr;
    }
    ::RestoreDC(hdc, -1);
}

namespace {
// The rectangles of the window's update region: several small ones when controls far
// apart changed (two animated pictures), so that what lies between is not repainted.
std::vector<RECT> UpdateRects(HWND hwnd) {
    constexpr DWORD kMaxRects = 32;
    std::vector<RECT> rects;
    GdiObjectHandle region(::CreateRectRgn(0, 0, 0, 0));
    int kind = region ? ::GetUpdateRgn(hwnd, static_cast<HRGN>(region.Get()), FALSE) : ERROR;
    if (kind == COMPLEXREGION) {
        DWORD size = ::GetRegionData(static_cast<HRGN>(region.Get()), 0, nullptr);
        std::vector<BYTE> buf(size);
        auto* data = reinterpret_cast<RGNDATA*>(buf.data());
        if (size && ::GetRegionData(static_cast<HRGN>(region.Get()), size, data) && data->rdh.nCount <= kMaxRects) {
            const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
            rects.assign(r, r + data->rdh.nCount);
        }
    }
    return rects;
}
}  // namespace

void CPaintManagerUI::OnPaint() {
    LayoutIfNeeded();
    std::vector<RECT> rects = UpdateRects(s_->hwnd);
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(s_->hwnd, &ps);
    RECT client;
    ::GetClientRect(s_->hwnd, &client);
    if (rects.empty()) rects.push_back(ps.rcPaint);
    if (EnsureBackBuffer(hdc, {client.right, client.bottom})) {
        for (const RECT& r : rects) {
            RECT rc;
            if (!::IntersectRect(&rc, &r, &client)) continue;
            PaintInto(s_->bufferDc.Get(), rc);
            ::BitBlt(hdc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, s_->bufferDc.Get(), rc.left,
                     rc.top, SRCCOPY);
        }
    }
    ::EndPaint(s_->hwnd, &ps);
}

// ---- messages -----------------------------------------------------------------------

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    auto filters = s_->preFilters;
    for (IMessageFilterUI* f : filters) {
        if (!Contains(s_->preFilters, f)) continue;
        bool handled = false;
        LRESULT r = f->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = r;
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::SendEvent(CControlUI* control, int type, POINT pt, WPARAM wParam, LPARAM lParam,
                                TCHAR key) {
    if (!control) return;
    TEventUI event;
    event.Type = type;
    event.pSender = control;
    event.ptMouse = pt;
    event.chKey = key;
    event.wKeyState = MapKeyState();
    event.wParam = wParam;
    event.lParam = lParam;
    event.dwTimestamp = ::GetTickCount();
    control->Event(event);
}

void CPaintManagerUI::UpdateHover(POINT pt) {
    CControlUI* now = FindControl(pt);
    if (now == s_->hover) return;
    if (CControlUI* old = s_->hover) {
        s_->hover = nullptr;
        SendEvent(old, UIEVENT_MOUSELEAVE, pt);
    }
    s_->hover = now;
    if (now) SendEvent(now, UIEVENT_MOUSEENTER, pt);
}

void CPaintManagerUI::OnButtonDown(int type, POINT pt, WPARAM wParam, LPARAM lParam) {
    s_->lastMouse = pt;
    CControlUI* control = FindControl(pt);
    if (!control) return;
    s_->click = control;
    control->SetFocus();
    if (s_->click != control) return;  // the focus change removed or hid it
    // Keyboard input belongs to the window unless the focused control has a window of its own.
    HWND focusWnd = ::GetFocus();
    if (focusWnd != s_->hwnd && !(focusWnd && ::IsChild(s_->hwnd, focusWnd))) ::SetFocus(s_->hwnd);
    SetCapture();
    SendEvent(control, type, pt, wParam, lParam);
}

void CPaintManagerUI::OnButtonUp(POINT pt, WPARAM wParam, LPARAM lParam) {
    s_->lastMouse = pt;
    CControlUI* control = s_->click;
    if (!control) return;
    s_->click = nullptr;
    ReleaseCapture();
    SendEvent(control, UIEVENT_BUTTONUP, pt, wParam, lParam);
}

void CPaintManagerUI::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(s_->hwnd, &pt);
    CControlUI* control = FindControl(pt);
    // One event per notch: fine-grained wheels and touchpads add up to whole notches.
    s_->wheelRemainder += GET_WHEEL_DELTA_WPARAM(wParam);
    int notches = s_->wheelRemainder / WHEEL_DELTA;
    s_->wheelRemainder -= notches * WHEEL_DELTA;
    if (!control) return;
    for (int i = 0; i < std::abs(notches) && control->GetManager() == this; i++) {
        SendEvent(control, UIEVENT_SCROLLWHEEL, pt, MAKEWPARAM(notches < 0 ? SB_LINEDOWN : SB_LINEUP, 0), lParam);
    }
}

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    if (!s_->hwnd) return false;
    auto filters = s_->filters;
    for (IMessageFilterUI* f : filters) {
        bool handled = false;
        LRESULT r = f->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = r;
            return true;
        }
    }
    lRes = 0;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (uMsg) {
    case kAsyncNotifyMessage: {
        auto queue = std::move(s_->asyncNotifies);
        s_->asyncNotifies.clear();
        for (TNotifyUI& msg : queue) SendNotify(msg, false);
        return true;
    }
    case WM_ERASEBKGND:
        lRes = 1;
        return true;
    case WM_PAINT:
        OnPaint();
        return true;
    case WM_PRINTCLIENT: {
        LayoutIfNeeded();
        RECT client;
        ::GetClientRect(s_->hwnd, &client);
        PaintInto(reinterpret_cast<HDC>(wParam), client);
        return true;
    }
    case WM_SIZE:
        if (s_->root) NeedUpdate();
        if (wParam == SIZE_MINIMIZED) {
            // Nothing is seen while minimised: no animation work until restored.
            ::KillTimer(s_->hwnd, kAnimationTimerId);
            s_->clockRunning = false;
        } else {
            ScheduleClock(0);
        }
        return false;
    case WM_TIMER:
        if (wParam == kAnimationTimerId) {
            RunAnimationClock();
            return true;
        }
        if (wParam == kUnseenWatchTimerId) {
            if (!IsWindowUnseen(s_->hwnd)) {
                ::KillTimer(s_->hwnd, kUnseenWatchTimerId);
                ScheduleClock(0);
            }
            return true;
        }
        for (const TimerInfo& t : s_->timers) {
            if (t.windowId == wParam) {
                SendEvent(t.control, UIEVENT_TIMER, s_->lastMouse, t.localId, lParam);
                return true;
            }
        }
        return false;
    case WM_MOUSEMOVE: {
        if (!s_->mouseTracking) {
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, s_->hwnd, 0};
            ::TrackMouseEvent(&tme);
            s_->mouseTracking = true;
        }
        s_->lastMouse = pt;
        UpdateHover(pt);
        CControlUI* target = s_->click ? s_->click : s_->hover;
        SendEvent(target, UIEVENT_MOUSEMOVE, pt, wParam, lParam);
        return false;
    }
    case WM_MOUSELEAVE:
        s_->mouseTracking = false;
        if (CControlUI* old = s_->hover) {
            s_->hover = nullptr;
            SendEvent(old, UIEVENT_MOUSELEAVE, s_->lastMouse);
        }
        return false;
    case WM_LBUTTONDOWN:
        OnButtonDown(UIEVENT_BUTTONDOWN, pt, wParam, lParam);
        return false;
    case WM_LBUTTONDBLCLK:
        OnButtonDown(UIEVENT_DBLCLICK, pt, wParam, lParam);
        return false;
    case WM_LBUTTONUP:
        OnButtonUp(pt, wParam, lParam);
        return false;
    case WM_CAPTURECHANGED:
        // Capture taken away mid-press (a modal window, another program): end the press
        // outside every control so nothing stays pushed and nothing is clicked.
        if (reinterpret_cast<HWND>(lParam) != s_->hwnd && s_->click) {
            CControlUI* control = s_->click;
            s_->click = nullptr;
            s_->captured = false;
            SendEvent(control, UIEVENT_BUTTONUP, {-1, -1});
        }
        return false;
    case WM_RBUTTONDOWN: {
        s_->lastMouse = pt;
        CControlUI* control = FindControl(pt);
        if (control) {
            control->SetFocus();
            SendEvent(control, UIEVENT_RBUTTONDOWN, pt, wParam, lParam);
        }
        return false;
    }
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam, lParam);
        return true;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN: {
        if (!s_->focus) return false;
        int type = uMsg == WM_KEYDOWN ? UIEVENT_KEYDOWN
                 : uMsg == WM_KEYUP  ? UIEVENT_KEYUP
                 : uMsg == WM_CHAR   ? UIEVENT_CHAR
                                     : UIEVENT_SYSKEY;
        SendEvent(s_->focus, type, s_->lastMouse, wParam, lParam, static_cast<TCHAR>(wParam));
        return false;
    }
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) return false;
        POINT cur;
        ::GetCursorPos(&cur);
        ::ScreenToClient(s_->hwnd, &cur);
        CControlUI* control = FindControl(cur);
        if (!control || !(control->GetControlFlags() & UIFLAG_SETCURSOR)) return false;
        SendEvent(control, UIEVENT_SETCURSOR, cur, wParam, lParam);
        lRes = TRUE;
        return true;
    }
    case WM_SETFOCUS:
        // Focus coming back to the window goes on to the focused edit's own window.
        if (auto* edit = s_->focus ? static_cast<CEditUI*>(s_->focus->GetInterface(L"Edit")) : nullptr) {
            if (HWND native = edit->GetNativeWindow()) ::SetFocus(native);
        }
        return false;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        // Messages about a native child control go back to that control.
        if (lParam && ::IsChild(s_->hwnd, reinterpret_cast<HWND>(lParam))) {
            lRes = ::SendMessageW(reinterpret_cast<HWND>(lParam), kReflectBase + uMsg, wParam, lParam);
            return true;
        }
        return false;
    case WM_DESTROY:
        for (const TimerInfo& t : s_->timers) ::KillTimer(s_->hwnd, t.windowId);
        s_->timers.clear();
        s_->animations.clear();
        s_->clockRunning = false;
        s_->focus = s_->hover = s_->click = nullptr;
        s_->hwnd = nullptr;
        g_managers.erase(std::remove(g_managers.begin(), g_managers.end(), this), g_managers.end());
        return false;
    default:
        return false;
    }
}
