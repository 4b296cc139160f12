// CEditUI and its native EDIT window, which exists only while the control has the
// focus: it gives real typing, selection, clipboard and input-method support.
#include "uilib/UIEdit.h"
#include "uilib/UIManager.h"
#include "uilib/UIWindow.h"
#include "uilib/Render.h"
#include "uilib/Attributes.h"
#include "base/WinHandle.h"
#include <string>

namespace {
constexpr UINT kReflectBase = WM_USER + 0x1C00;  // messages reflected by the paint manager

COLORREF ToColorRef(DWORD argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

std::wstring WindowText(HWND hwnd) {
    int n = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(hwnd, &text[0], n + 1);
    text.resize(n > 0 ? n : 0);
    return text;
}
}  // namespace

class CEditWnd : public CWindowWnd {
public:
    bool Init(CEditUI* owner);
    void Detach();  // the control lets go; the window closes itself soon after
    void SetTextQuietly(LPCTSTR text);
    void PlaceOver(const RECT& rc);

protected:
    LPCTSTR GetWindowClassName() const override { return L"UiLibEdit"; }
    LPCTSTR GetSuperClassName() const override { return L"EDIT"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    RECT NativeRect(const RECT& rc) const;
    bool OnKeyDown(WPARAM key);

    CEditUI* owner_ = nullptr;
    GdiObjectHandle bkBrush_;
    bool quiet_ = false;  // a text change made by the control itself
};

bool CEditWnd::Init(CEditUI* owner) {
    owner_ = owner;
    CPaintManagerUI* pm = owner->GetManager();
    DWORD style = WS_CHILD | ES_AUTOHSCROLL;
    if (owner->IsPasswordMode()) style |= ES_PASSWORD;
    if (owner->IsReadOnly()) style |= ES_READONLY;
    RECT rc = NativeRect(owner->GetPos());
    if (!Create(pm->GetPaintWindow(), nullptr, style, 0, rc)) return false;
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(pm->GetFont(owner->GetFont())), TRUE);
    ::SendMessageW(m_hWnd, EM_LIMITTEXT, owner->GetMaxChar(), 0);
    ::SendMessageW(m_hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SetTextQuietly(owner->GetText());
    int end = ::GetWindowTextLengthW(m_hWnd);
    ::SendMessageW(m_hWnd, EM_SETSEL, end, end);
    bkBrush_.Reset(::CreateSolidBrush(ToColorRef(owner->GetNativeEditBkColor())));
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    return true;
}

RECT CEditWnd::NativeRect(const RECT& item) const {
    RECT pad = owner_->GetTextPadding();
    RECT rc = {item.left + pad.left, item.top + pad.top, item.right - pad.right, item.bottom - pad.bottom};
    // One line of the font's height, centred like the painted text.
    TFontInfo* font = owner_->GetManager()->GetFontInfo(owner_->GetFont());
    int lineHeight = font->tm.tmHeight > 0 ? font->tm.tmHeight + 2 : rc.bottom - rc.top;
    if (rc.bottom - rc.top > lineHeight) {
        rc.top += (rc.bottom - rc.top - lineHeight) / 2;
        rc.bottom = rc.top + lineHeight;
    }
    return rc;
}

void CEditWnd::PlaceOver(const RECT& rc) {
    if (!owner_ || !m_hWnd) return;
    RECT r = NativeRect(rc);
    ::SetWindowPos(m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditWnd::Detach() {
    owner_ = nullptr;
    if (!m_hWnd) return;
    // Keyboard focus goes back to the window before this one disappears; the window
    // is destroyed from the message queue, never inside one of its own messages.
    HWND parent = ::GetParent(m_hWnd);
    if (::GetFocus() == m_hWnd && parent) ::SetFocus(parent);
    ::ShowWindow(m_hWnd, SW_HIDE);
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CEditWnd::SetTextQuietly(LPCTSTR text) {
    quiet_ = true;
    ::SetWindowTextW(m_hWnd, text);
    quiet_ = false;
}

bool CEditWnd::OnKeyDown(WPARAM key) {
    CEditUI* owner = owner_;
    CPaintManagerUI* pm = owner->GetManager();
    TEventUI event;
    event.Type = UIEVENT_KEYDOWN;
    event.pSender = owner;
    event.chKey = static_cast<TCHAR>(key);
    event.wParam = key;
    event.dwTimestamp = ::GetTickCount();
    if (!owner->OnEvent(&event)) return true;  // a handler consumed the key
    if (owner_ != owner || !pm) return true;   // a handler moved the focus away
    if (key == VK_RETURN) {
        pm->SendNotify(owner, DUI_MSGTYPE_RETURN);
        return true;
    }
    if (key == 'A' && ::GetKeyState(VK_CONTROL) < 0) {
        pm->SendNotify(owner, DUI_MSGTYPE_CTRL_A);
        return true;
    }
    return false;
}

LRESULT CEditWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_KEYDOWN:
        if (owner_ && OnKeyDown(wParam)) return 0;
        break;
    case WM_CHAR:
        // Enter, Tab and Ctrl+A (0x01) have been dealt with as keys; a single-line
        // EDIT would only beep at them.
        if (wParam == VK_RETURN || wParam == VK_TAB || wParam == 0x01) return 0;
        break;
    case kReflectBase + WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE && owner_ && !quiet_) owner_->OnNativeTextChanged(WindowText(m_hWnd));
        return 0;
    case kReflectBase + WM_CTLCOLOREDIT:
    case kReflectBase + WM_CTLCOLORSTATIC: {
        if (!owner_) break;
        HDC dc = reinterpret_cast<HDC>(wParam);
        DWORD color = owner_->GetTextColor() ? owner_->GetTextColor() : owner_->GetManager()->GetDefaultFontColor();
        ::SetTextColor(dc, ToColorRef(color));
        ::SetBkColor(dc, ToColorRef(owner_->GetNativeEditBkColor()));
        return reinterpret_cast<LRESULT>(bkBrush_.Get());
    }
    case WM_CLOSE:
        ::DestroyWindow(m_hWnd);
        return 0;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CEditWnd::OnFinalMessage(HWND /*hWnd*/) {
    if (owner_ && owner_->m_pWindow == this) owner_->m_pWindow = nullptr;
    delete this;
}

// ---- CEditUI ------------------------------------------------------------------------

CEditUI::CEditUI() { m_rcTextPadding = {4, 3, 4, 3}; }

CEditUI::~CEditUI() { CloseNativeWindow(); }

LPCTSTR CEditUI::GetClass() const { return L"Edit"; }

LPVOID CEditUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"Edit") == 0) return this;
    return CLabelUI::GetInterface(pstrName);
}

UINT CEditUI::GetControlFlags() const { return IsEnabled() ? UIFLAG_SETCURSOR | UIFLAG_TABSTOP : 0; }

void CEditUI::SetEnabled(bool bEnable) {
    CLabelUI::SetEnabled(bEnable);
    if (!IsEnabled()) CloseNativeWindow();
}

void CEditUI::SetText(LPCTSTR pstrText) {
    if (m_sText == pstrText) return;
    m_sText = pstrText;
    if (m_pWindow) m_pWindow->SetTextQuietly(m_sText);
    Invalidate();
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_TEXTCHANGED);
}

void CEditUI::OnNativeTextChanged(const CDuiString& text) {
    if (m_sText == text) return;
    m_sText = text;
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_TEXTCHANGED);
}

void CEditUI::SetMaxChar(UINT uMax) {
    m_uMaxChar = uMax;
    if (m_pWindow) ::SendMessageW(m_pWindow->GetHWND(), EM_LIMITTEXT, m_uMaxChar, 0);
}

UINT CEditUI::GetMaxChar() const { return m_uMaxChar; }

void CEditUI::SetReadOnly(bool bReadOnly) {
    m_bReadOnly = bReadOnly;
    if (m_pWindow) ::SendMessageW(m_pWindow->GetHWND(), EM_SETREADONLY, m_bReadOnly, 0);
    Invalidate();
}

bool CEditUI::IsReadOnly() const { return m_bReadOnly; }

void CEditUI::SetPasswordMode(bool bPasswordMode) {
    m_bPasswordMode = bPasswordMode;
    Invalidate();
}

bool CEditUI::IsPasswordMode() const { return m_bPasswordMode; }

void CEditUI::SetNativeEditBkColor(DWORD dwBkColor) { m_dwEditbkColor = dwBkColor; }
DWORD CEditUI::GetNativeEditBkColor() const { return m_dwEditbkColor; }

void CEditUI::SetSel(long nStartChar, long nEndChar) {
    if (m_pWindow) ::SendMessageW(m_pWindow->GetHWND(), EM_SETSEL, nStartChar, nEndChar);
}

void CEditUI::SetSelAll() { SetSel(0, -1); }

void CEditUI::SetReplaceSel(LPCTSTR lpszReplace) {
    if (m_pWindow) ::SendMessageW(m_pWindow->GetHWND(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(lpszReplace));
}

HWND CEditUI::GetNativeWindow() const { return m_pWindow ? m_pWindow->GetHWND() : nullptr; }

void CEditUI::CloseNativeWindow() {
    CEditWnd* wnd = m_pWindow;
    m_pWindow = nullptr;
    if (wnd) wnd->Detach();
    Invalidate();
}

void CEditUI::SetPos(RECT rc) {
    CLabelUI::SetPos(rc);
    if (m_pWindow) m_pWindow->PlaceOver(m_rcItem);
}

void CEditUI::SetVisible(bool bVisible) {
    CLabelUI::SetVisible(bVisible);
    if (!IsVisible()) CloseNativeWindow();
}

void CEditUI::SetInternVisible(bool bVisible) {
    CLabelUI::SetInternVisible(bVisible);
    if (!IsVisible()) CloseNativeWindow();
}

void CEditUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
        return;
    case UIEVENT_SETFOCUS:
        CLabelUI::DoEvent(event);
        if (!m_pWindow && IsEnabled() && IsVisible() && m_pManager && m_pManager->GetPaintWindow()) {
            m_pWindow = new CEditWnd();
            if (!m_pWindow->Init(this)) {
                delete m_pWindow;
                m_pWindow = nullptr;
            }
        }
        Invalidate();
        return;
    case UIEVENT_KILLFOCUS:
        CloseNativeWindow();
        CLabelUI::DoEvent(event);
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
        return;  // the native window takes the mouse once the edit has the focus
    default:
        CLabelUI::DoEvent(event);
    }
}

void CEditUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    CDuiString name(pstrName);
    if (name == L"readonly") SetReadOnly(attr::ParseBool(pstrValue));
    else if (name == L"password") SetPasswordMode(attr::ParseBool(pstrValue));
    else if (name == L"maxchar") SetMaxChar(static_cast<UINT>(attr::ParseInt(pstrValue)));
    else if (name == L"nativebkcolor") SetNativeEditBkColor(render::ParseColor(pstrValue));
    else CLabelUI::SetAttribute(pstrName, pstrValue);
}

void CEditUI::PaintText(HDC hDC) {
    if (m_pWindow) return;  // the native window shows the text
    if (!m_bPasswordMode) {
        CLabelUI::PaintText(hDC);
        return;
    }
    std::wstring masked(m_sText.GetLength(), L'*');
    DWORD color = m_dwTextColor ? m_dwTextColor : (m_pManager ? m_pManager->GetDefaultFontColor() : 0xFF000000);
    DrawLabelText(hDC, masked.c_str(), color);
}
