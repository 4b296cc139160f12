// CControlUI: state, position, events and painting common to every control.
#include "uilib/UIControl.h"
#include "uilib/UIImage.h"
#include "uilib/UIManager.h"
#include "uilib/Render.h"
#include "uilib/Attributes.h"

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    if (OnDestroy) OnDestroy(this);
    if (m_pManager) m_pManager->ReapObjects(this);
}

CDuiString CControlUI::GetName() const { return m_sName; }
void CControlUI::SetName(LPCTSTR pstrName) { m_sName = pstrName; }
LPCTSTR CControlUI::GetClass() const { return L"Control"; }

LPVOID CControlUI::GetInterface(LPCTSTR pstrName) {
    return pstrName && wcscmp(pstrName, L"Control") == 0 ? this : nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }
CControlUI* CControlUI::GetParent() const { return m_pParent; }
CPaintManagerUI* CControlUI::GetManager() const { return m_pManager; }

void CControlUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
    if (m_pManager && m_pManager != pManager) m_pManager->ReapObjects(this);
    m_pManager = pManager;
    m_pParent = pParent;
    if (bInit && m_pParent) Init();
}

CDuiString CControlUI::GetText() const { return m_sText; }

void CControlUI::SetText(LPCTSTR pstrText) {
    if (m_sText == pstrText) return;
    m_sText = pstrText;
    Invalidate();
}

DWORD CControlUI::GetBkColor() const { return m_dwBackColor; }

void CControlUI::SetBkColor(DWORD dwBackColor) {
    if (m_dwBackColor == dwBackColor) return;
    m_dwBackColor = dwBackColor;
    Invalidate();
}

LPCTSTR CControlUI::GetBkImage() { return m_sBkImage; }

void CControlUI::SetBkImage(LPCTSTR pStrImage) {
    if (m_sBkImage == pStrImage) return;
    m_sBkImage = pStrImage;
    Invalidate();
}

DWORD CControlUI::GetBorderColor() const { return m_dwBorderColor; }

void CControlUI::SetBorderColor(DWORD dwBorderColor) {
    if (m_dwBorderColor == dwBorderColor) return;
    m_dwBorderColor = dwBorderColor;
    Invalidate();
}

DWORD CControlUI::GetFocusBorderColor() const { return m_dwFocusBorderColor; }

void CControlUI::SetFocusBorderColor(DWORD dwBorderColor) {
    m_dwFocusBorderColor = dwBorderColor;
    Invalidate();
}

int CControlUI::GetBorderSize() const { return m_nBorderSize; }

void CControlUI::SetBorderSize(int nSize) {
    if (m_nBorderSize == nSize) return;
    m_nBorderSize = nSize;
    Invalidate();
}

const RECT& CControlUI::GetPos() const { return m_rcItem; }

void CControlUI::SetPos(RECT rc) {
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    if (::EqualRect(&rc, &m_rcItem)) {
        m_bUpdateNeeded = false;
        return;
    }
    Invalidate();
    m_rcItem = rc;
    m_bUpdateNeeded = false;
    Invalidate();
    if (OnSize) OnSize(this);
}

void CControlUI::SetMyPos(RECT rc) {
    m_rcMyPos = rc;
    m_bMyPos = true;
    // Inside a laid-out parent the control moves at once, so GetPos is right at once.
    if (m_pParent) {
        const RECT& parent = m_pParent->GetPos();
        SetPos({parent.left + rc.left, parent.top + rc.top, parent.left + rc.right, parent.top + rc.bottom});
    }
}

void CControlUI::SetMyPos(int left, int top, int right, int bottom) { SetMyPos(RECT{left, top, right, bottom}); }
bool CControlUI::HasMyPos() const { return m_bMyPos; }
const RECT& CControlUI::GetMyPos() const { return m_rcMyPos; }
int CControlUI::GetWidth() const { return m_rcItem.right - m_rcItem.left; }
int CControlUI::GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
int CControlUI::GetX() const { return m_rcItem.left; }
int CControlUI::GetY() const { return m_rcItem.top; }
int CControlUI::GetFixedWidth() const { return m_cxyFixed.cx; }

void CControlUI::SetFixedWidth(int cx) {
    if (cx < 0) return;
    m_cxyFixed.cx = cx;
    NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const { return m_cxyFixed.cy; }

void CControlUI::SetFixedHeight(int cy) {
    if (cy < 0) return;
    m_cxyFixed.cy = cy;
    NeedParentUpdate();
}

SIZE CControlUI::EstimateSize(SIZE /*szAvailable*/) { return m_cxyFixed; }
RECT CControlUI::GetPadding() const { return m_rcPadding; }

void CControlUI::SetPadding(RECT rcPadding) {
    m_rcPadding = rcPadding;
    NeedParentUpdate();
}

CDuiString CControlUI::GetToolTip() const { return m_sToolTip; }
void CControlUI::SetToolTip(LPCTSTR pstrText) { m_sToolTip = pstrText; }
const CDuiString& CControlUI::GetUserData() { return m_sUserData; }
void CControlUI::SetUserData(LPCTSTR pstrText) { m_sUserData = pstrText; }
UINT_PTR CControlUI::GetTag() const { return m_pTag; }
void CControlUI::SetTag(UINT_PTR pTag) { m_pTag = pTag; }

bool CControlUI::IsVisible() const { return m_bVisible && m_bInternVisible; }
bool CControlUI::IsOwnVisible() const { return m_bVisible; }

void CControlUI::SetVisible(bool bVisible) {
    if (m_bVisible == bVisible) return;
    bool wasVisible = IsVisible();
    m_bVisible = bVisible;
    if (wasVisible != IsVisible()) OnVisibilityChanged();
}

void CControlUI::SetInternVisible(bool bVisible) {
    if (m_bInternVisible == bVisible) return;
    bool wasVisible = IsVisible();
    m_bInternVisible = bVisible;
    if (wasVisible != IsVisible()) OnVisibilityChanged();
}

void CControlUI::OnVisibilityChanged() {
    // A hidden control keeps neither the focus nor the mouse.
    if (!IsVisible() && m_pManager && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
    if (m_bMyPos) {
        Invalidate();
    } else {
        NeedParentUpdate();
    }
}

bool CControlUI::IsEnabled() const { return m_bEnabled; }

void CControlUI::SetEnabled(bool bEnable) {
    if (m_bEnabled == bEnable) return;
    m_bEnabled = bEnable;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_bMouseEnabled; }
void CControlUI::SetMouseEnabled(bool bEnable) { m_bMouseEnabled = bEnable; }
bool CControlUI::IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool bEnable) { m_bKeyboardEnabled = bEnable; }
bool CControlUI::IsFocused() const { return m_bFocused; }

void CControlUI::SetFocus() {
    if (m_pManager) m_pManager->SetFocus(this);
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
    if ((uFlags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((uFlags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if ((uFlags & UIFIND_HITTEST) && !m_bMouseEnabled) return nullptr;
    return Proc(this, pData);
}

void CControlUI::Invalidate() { InvalidateArea(m_rcItem); }

void CControlUI::InvalidateArea(const RECT& rc) {
    if (!m_pManager || !IsVisibleForPaint()) return;
    // Only what the ancestors let show needs repainting.
    RECT visible = rc;
    for (CControlUI* p = m_pParent; p; p = p->GetParent()) {
        if (!::IntersectRect(&visible, &visible, &p->GetPos())) return;
    }
    m_pManager->Invalidate(visible);
}

bool CControlUI::IsVisibleForPaint() const {
    // Hiding must repaint the area the control leaves, so only the parents count here.
    for (CControlUI* p = m_pParent; p; p = p->GetParent()) {
        if (!p->IsVisible()) return false;
    }
    return true;
}

bool CControlUI::IsUpdateNeeded() const { return m_bUpdateNeeded; }

void CControlUI::NeedUpdate() {
    if (!IsVisible()) return;
    m_bUpdateNeeded = true;
    if (m_pManager) m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
    if (m_pParent) {
        m_pParent->NeedUpdate();
        m_pParent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_pManager) m_pManager->NeedUpdate();
}

void CControlUI::Init() {
    DoInit();
    if (OnInit) OnInit(this);
}

void CControlUI::DoInit() {}

void CControlUI::Event(TEventUI& event) {
    if (OnEvent(&event)) DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_SETCURSOR) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return;
    }
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        Invalidate();
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        Invalidate();
        return;
    }
    if (event.Type == UIEVENT_TIMER) return;
    // Events a control does not use go on to its parent's own handling (not to the
    // parent's delegates: each handler sees only the events aimed at its control).
    if (m_pParent) m_pParent->DoEvent(event);
}

void CControlUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    using namespace attr;
    CDuiString name(pstrName);
    if (name == L"pos") {
        // Markup positions are sizes for the layout, or, with float="true", a
        // rectangle in the parent as SetMyPos gives it.
        RECT rc;
        if (ParseRect(pstrValue, rc)) {
            m_rcMyPos = rc;
            if (rc.right > rc.left) SetFixedWidth(rc.right - rc.left);
            if (rc.bottom > rc.top) SetFixedHeight(rc.bottom - rc.top);
            if (m_bFloat) SetMyPos(rc);
        }
    } else if (name == L"float") {
        m_bFloat = ParseBool(pstrValue);
        if (m_bFloat) SetMyPos(m_rcMyPos);
    } else if (name == L"padding") {
        RECT rc;
        if (ParseRect(pstrValue, rc)) SetPadding(rc);
    } else if (name == L"name") SetName(pstrValue);
    else if (name == L"text") SetText(pstrValue);
    else if (name == L"tooltip") SetToolTip(pstrValue);
    else if (name == L"userdata") SetUserData(pstrValue);
    else if (name == L"bkcolor" || name == L"bkcolor1") SetBkColor(render::ParseColor(pstrValue));
    else if (name == L"bordercolor") SetBorderColor(render::ParseColor(pstrValue));
    else if (name == L"focusbordercolor") SetFocusBorderColor(render::ParseColor(pstrValue));
    else if (name == L"bordersize") SetBorderSize(ParseInt(pstrValue));
    else if (name == L"bkimage") SetBkImage(ImageFileName(pstrValue).c_str());
    else if (name == L"width") SetFixedWidth(ParseInt(pstrValue));
    else if (name == L"height") SetFixedHeight(ParseInt(pstrValue));
    else if (name == L"visible") SetVisible(ParseBool(pstrValue));
    else if (name == L"enabled") SetEnabled(ParseBool(pstrValue));
    else if (name == L"mouse") SetMouseEnabled(ParseBool(pstrValue));
    else if (name == L"keyboard") SetKeyboardEnabled(ParseBool(pstrValue));
}

CControlUI* CControlUI::ApplyAttributeList(LPCTSTR pstrList) {
    for (const auto& a : attr::ParseAttributeList(pstrList ? pstrList : L"")) SetAttribute(a.first.c_str(), a.second.c_str());
    return this;
}

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    RECT rc;
    if (!::IntersectRect(&rc, &rcPaint, &m_rcItem)) return;
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
}

void CControlUI::PaintBkColor(HDC /*hDC*/) { render::FillColor(m_pManager, m_rcItem, m_dwBackColor); }

void CControlUI::PaintBkImage(HDC hDC) {
    if (!m_sBkImage.IsEmpty()) DrawImage(hDC, m_sBkImage);
}

void CControlUI::PaintStatusImage(HDC /*hDC*/) {}
void CControlUI::PaintText(HDC /*hDC*/) {}

void CControlUI::PaintBorder(HDC /*hDC*/) {
    DWORD color = (m_bFocused && m_dwFocusBorderColor) ? m_dwFocusBorderColor : m_dwBorderColor;
    render::DrawBorder(m_pManager, m_rcItem, m_nBorderSize, color);
}

DWORD CControlUI::OnAnimationTick(DWORD /*nowTick*/) { return 0; }

bool CControlUI::DrawImage(HDC /*hDC*/, LPCTSTR pStrImage, const RECT* rc, bool fit) {
    if (!m_pManager || !pStrImage || !*pStrImage) return false;
    std::shared_ptr<UIImage> image = m_pManager->GetImage(pStrImage);
    if (!image) return false;
    render::DrawImage(m_pManager, rc ? *rc : m_rcItem, *image, 0, fit);
    return true;
}
