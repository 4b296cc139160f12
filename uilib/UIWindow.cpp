// CWindowWnd: window class registration, creation, the modal loop and the window
// procedure that hands messages to the object's HandleMessage.
#include "uilib/UIWindow.h"
#include "uilib/UIManager.h"

CWindowWnd::CWindowWnd() = default;
CWindowWnd::~CWindowWnd() = default;

LPCTSTR CWindowWnd::GetSuperClassName() const { return nullptr; }
UINT CWindowWnd::GetClassStyle() const { return 0; }
void CWindowWnd::OnFinalMessage(HWND /*hWnd*/) {}

bool CWindowWnd::RegisterWindowClass() {
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = CWindowWnd::__WndProc;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWindowClassName();
    ATOM ret = ::RegisterClassExW(&wc);
    return ret != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
    // A class of our own that behaves like a system class (EDIT, ...), its window
    // procedure ours first.
    WNDCLASSEXW wc = {sizeof(wc)};
    if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
        !::GetClassInfoExW(CPaintManagerUI::GetInstance(), GetSuperClassName(), &wc))
        return false;
    m_OldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = CWindowWnd::__ControlProc;
    wc.hInstance = CPaintManagerUI::GetInstance();
    wc.lpszClassName = GetWindowClassName();
    ATOM ret = ::RegisterClassExW(&wc);
    return ret != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT rc,
                        HMENU hMenu) {
    return Create(hwndParent, pstrName, dwStyle, dwExStyle, rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top, hMenu);
}

HWND CWindowWnd::Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x, int y, int cx,
                        int cy, HMENU hMenu) {
    if (GetSuperClassName() && !RegisterSuperclass()) return nullptr;
    if (!GetSuperClassName() && !RegisterWindowClass()) return nullptr;
    m_hWnd = ::CreateWindowExW(dwExStyle, GetWindowClassName(), pstrName, dwStyle, x, y, cx, cy, hwndParent, hMenu,
                               CPaintManagerUI::GetInstance(), this);
    return m_hWnd;
}

HWND CWindowWnd::Subclass(HWND hWnd) {
    if (!::IsWindow(hWnd)) return nullptr;
    m_OldWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(__WndProc)));
    if (!m_OldWndProc) return nullptr;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_bSubclassed = true;
    m_hWnd = hWnd;
    return m_hWnd;
}

void CWindowWnd::Unsubclass() {
    if (!m_bSubclassed || !::IsWindow(m_hWnd)) return;
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
    m_OldWndProc = ::DefWindowProcW;
    m_bSubclassed = false;
}

void CWindowWnd::ShowWindow(bool bShow, bool bTakeFocus) {
    if (!::IsWindow(m_hWnd)) return;
    ::ShowWindow(m_hWnd, bShow ? (bTakeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
    if (!::IsWindow(m_hWnd)) return 0;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (!owner) owner = ::GetParent(m_hWnd);
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    if (owner) ::EnableWindow(owner, FALSE);
    UINT ret = 0;
    MSG msg = {};
    bool quit = false;
    HWND self = m_hWnd;  // the object may be deleted with its window
    while (::IsWindow(self)) {
        if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == self) {
            ret = static_cast<UINT>(msg.wParam);
            // Enable the owner before this window goes, so that activation returns to it.
            if (owner) ::EnableWindow(owner, TRUE);
            if (owner) ::SetFocus(owner);
        }
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (owner) ::EnableWindow(owner, TRUE);
    if (owner) ::SetFocus(owner);
    // The outer loop must still see the quit request.
    if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
    return ret;
}

void CWindowWnd::Close(UINT nRet) {
    if (::IsWindow(m_hWnd)) ::PostMessageW(m_hWnd, WM_CLOSE, static_cast<WPARAM>(nRet), 0L);
}

void CWindowWnd::CenterWindow() {
    if (!::IsWindow(m_hWnd)) return;
    RECT rcDlg;
    ::GetWindowRect(m_hWnd, &rcDlg);
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (!owner && (::GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(m_hWnd);
    MONITORINFO mi = {sizeof(mi)};
    ::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    RECT rcArea = mi.rcWork;
    RECT rcCenter = rcArea;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &rcCenter);
    int w = rcDlg.right - rcDlg.left, h = rcDlg.bottom - rcDlg.top;
    int x = (rcCenter.left + rcCenter.right) / 2 - w / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - h / 2;
    // Keep it on the work area.
    if (x + w > rcArea.right) x = rcArea.right - w;
    if (x < rcArea.left) x = rcArea.left;
    if (y + h > rcArea.bottom) y = rcArea.bottom - h;
    if (y < rcArea.top) y = rcArea.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT nRes) {
    HINSTANCE inst = CPaintManagerUI::GetInstance();
    auto load = [&](int metricX, int metricY) {
        return static_cast<HICON>(::LoadImageW(inst, MAKEINTRESOURCEW(nRes), IMAGE_ICON, ::GetSystemMetrics(metricX),
                                               ::GetSystemMetrics(metricY), LR_DEFAULTCOLOR | LR_SHARED));
    };
    // Shared icons belong to the system: nothing to free.
    if (HICON big = load(SM_CXICON, SM_CYICON)) ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON small = load(SM_CXSMICON, SM_CYSMICON))
        ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void CWindowWnd::ResizeClient(int cx, int cy) {
    RECT rc;
    if (!::GetClientRect(m_hWnd, &rc)) return;
    if (cx != -1) rc.right = cx;
    if (cy != -1) rc.bottom = cy;
    DWORD style = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE));
    if (!::AdjustWindowRectEx(&rc, style, ::GetMenu(m_hWnd) != nullptr, exStyle)) return;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessageW(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessageW(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_OldWndProc, m_hWnd, uMsg, wParam, lParam);
}

namespace {
// The object of a window: set at WM_NCCREATE, cleared after WM_NCDESTROY.
CWindowWnd* WindowObject(HWND hWnd, UINT uMsg, LPARAM lParam) {
    if (uMsg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<LPCREATESTRUCTW>(lParam);
        auto* self = static_cast<CWindowWnd*>(cs->lpCreateParams);
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return self;
    }
    return reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
}
}  // namespace

LRESULT CALLBACK CWindowWnd::__WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* self = WindowObject(hWnd, uMsg, lParam);
    if (!self) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCCREATE) self->m_hWnd = hWnd;
    if (uMsg != WM_NCDESTROY) return self->HandleMessage(uMsg, wParam, lParam);

    LRESULT lRes = ::CallWindowProcW(self->m_OldWndProc, hWnd, uMsg, wParam, lParam);
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    if (self->m_bSubclassed) self->Unsubclass();
    self->m_hWnd = nullptr;
    self->OnFinalMessage(hWnd);
    return lRes;
}

LRESULT CALLBACK CWindowWnd::__ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    // Superclassed system controls keep their own GWLP_USERDATA free: use a property.
    static const wchar_t kProp[] = L"UiLibWndX";
    CWindowWnd* self = nullptr;
    if (uMsg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<LPCREATESTRUCTW>(lParam);
        self = static_cast<CWindowWnd*>(cs->lpCreateParams);
        ::SetPropW(hWnd, kProp, self);
        self->m_hWnd = hWnd;
    } else {
        self = static_cast<CWindowWnd*>(::GetPropW(hWnd, kProp));
    }
    if (!self) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    if (uMsg != WM_NCDESTROY) return self->HandleMessage(uMsg, wParam, lParam);

    LRESULT lRes = ::CallWindowProcW(self->m_OldWndProc, hWnd, uMsg, wParam, lParam);
    ::RemovePropW(hWnd, kProp);
    self->m_hWnd = nullptr;
    self->OnFinalMessage(hWnd);
    return lRes;
}
