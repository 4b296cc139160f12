// CButtonUI and COptionUI: pressed, hot and selected looks and the "click".
#include "uilib/UIButton.h"
#include "uilib/UIManager.h"
#include "uilib/Render.h"
#include "uilib/Attributes.h"
#include <algorithm>
#include <vector>

CButtonUI::CButtonUI() { m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

LPCTSTR CButtonUI::GetClass() const { return L"Button"; }

LPVOID CButtonUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"Button") == 0) return this;
    return CLabelUI::GetInterface(pstrName);
}

UINT CButtonUI::GetControlFlags() const { return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | (IsEnabled() ? UIFLAG_SETCURSOR : 0); }

bool CButtonUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_CLICK);
    return true;
}

void CButtonUI::SetEnabled(bool bEnable) {
    CControlUI::SetEnabled(bEnable);
    if (!IsEnabled()) m_uButtonState = 0;
}

void CButtonUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        CLabelUI::DoEvent(event);
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (::PtInRect(&m_rcItem, event.ptMouse) && IsEnabled()) {
            m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (m_uButtonState & UISTATE_CAPTURED) {
            // Pushed only while the pressed mouse is over the button.
            UINT old = m_uButtonState;
            if (::PtInRect(&m_rcItem, event.ptMouse)) m_uButtonState |= UISTATE_PUSHED;
            else m_uButtonState &= ~UISTATE_PUSHED;
            if (old != m_uButtonState) Invalidate();
        }
        return;
    case UIEVENT_BUTTONUP:
        if (m_uButtonState & UISTATE_CAPTURED) {
            bool inside = ::PtInRect(&m_rcItem, event.ptMouse) != FALSE;
            m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
            Invalidate();
            if (inside) Activate();
        }
        return;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            m_uButtonState |= UISTATE_HOT;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSELEAVE:
        if (m_uButtonState & UISTATE_HOT) {
            m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
        }
        return;
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
    case UIEVENT_KEYDOWN:
        if (event.chKey == VK_SPACE || event.chKey == VK_RETURN) {
            Activate();
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

LPCTSTR CButtonUI::GetNormalImage() { return m_sNormalImage; }
LPCTSTR CButtonUI::GetHotImage() { return m_sHotImage; }
LPCTSTR CButtonUI::GetPushedImage() { return m_sPushedImage; }
LPCTSTR CButtonUI::GetFocusedImage() { return m_sFocusedImage; }
LPCTSTR CButtonUI::GetDisabledImage() { return m_sDisabledImage; }

void CButtonUI::SetNormalImage(LPCTSTR pStrImage) {
    m_sNormalImage = pStrImage;
    Invalidate();
}

void CButtonUI::SetHotImage(LPCTSTR pStrImage) {
    m_sHotImage = pStrImage;
    Invalidate();
}

void CButtonUI::SetPushedImage(LPCTSTR pStrImage) {
    m_sPushedImage = pStrImage;
    Invalidate();
}

void CButtonUI::SetFocusedImage(LPCTSTR pStrImage) {
    m_sFocusedImage = pStrImage;
    Invalidate();
}

void CButtonUI::SetDisabledImage(LPCTSTR pStrImage) {
    m_sDisabledImage = pStrImage;
    Invalidate();
}

void CButtonUI::SetHotBkColor(DWORD dwColor) {
    m_dwHotBkColor = dwColor;
    Invalidate();
}

DWORD CButtonUI::GetHotBkColor() const { return m_dwHotBkColor; }

void CButtonUI::SetHotTextColor(DWORD dwColor) {
    m_dwHotTextColor = dwColor;
    Invalidate();
}

DWORD CButtonUI::GetHotTextColor() const { return m_dwHotTextColor; }

void CButtonUI::SetPushedTextColor(DWORD dwColor) {
    m_dwPushedTextColor = dwColor;
    Invalidate();
}

DWORD CButtonUI::GetPushedTextColor() const { return m_dwPushedTextColor; }
UINT CButtonUI::GetButtonState() const { return m_uButtonState; }

SIZE CButtonUI::EstimateSize(SIZE szAvailable) { return CLabelUI::EstimateSize(szAvailable); }

void CButtonUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    CDuiString name(pstrName);
    if (name == L"normalimage") SetNormalImage(attr::ImageFileName(pstrValue).c_str());
    else if (name == L"hotimage") SetHotImage(attr::ImageFileName(pstrValue).c_str());
    else if (name == L"pushedimage") SetPushedImage(attr::ImageFileName(pstrValue).c_str());
    else if (name == L"focusedimage") SetFocusedImage(attr::ImageFileName(pstrValue).c_str());
    else if (name == L"disabledimage") SetDisabledImage(attr::ImageFileName(pstrValue).c_str());
    else if (name == L"hotbkcolor") SetHotBkColor(render::ParseColor(pstrValue));
    else if (name == L"hottextcolor") SetHotTextColor(render::ParseColor(pstrValue));
    else if (name == L"pushedtextcolor") SetPushedTextColor(render::ParseColor(pstrValue));
    else CLabelUI::SetAttribute(pstrName, pstrValue);
}

void CButtonUI::PaintText(HDC hDC) {
    DWORD color = m_dwTextColor ? m_dwTextColor : (m_pManager ? m_pManager->GetDefaultFontColor() : 0xFF000000);
    if (!IsEnabled() && m_dwDisabledTextColor) color = m_dwDisabledTextColor;
    else if ((m_uButtonState & UISTATE_PUSHED) && m_dwPushedTextColor) color = m_dwPushedTextColor;
    else if ((m_uButtonState & UISTATE_HOT) && m_dwHotTextColor) color = m_dwHotTextColor;
    DrawLabelText(hDC, m_sText, color);
}

void CButtonUI::PaintStatusImage(HDC hDC) {
    // The first image the state has, falling back to the normal one.
    std::vector<LPCTSTR> candidates;
    if (!IsEnabled()) candidates.push_back(m_sDisabledImage);
    if (m_uButtonState & UISTATE_PUSHED) candidates.push_back(m_sPushedImage);
    if (m_uButtonState & UISTATE_HOT) {
        if (m_dwHotBkColor) render::FillColor(m_pManager, m_rcItem, m_dwHotBkColor);
        candidates.push_back(m_sHotImage);
    }
    if (IsFocused()) candidates.push_back(m_sFocusedImage);
    candidates.push_back(m_sNormalImage);
    for (LPCTSTR image : candidates) {
        if (image && *image && DrawImage(hDC, image)) return;
    }
}

// ---- COptionUI ----------------------------------------------------------------------

namespace {
// Options of a group, per paint manager (UI thread only).
struct OptionGroup {
    CPaintManagerUI* manager;
    std::wstring name;
    std::vector<COptionUI*> members;
};
std::vector<OptionGroup> g_optionGroups;

void LeaveGroup(COptionUI* option) {
    for (auto& g : g_optionGroups) {
        auto& m = g.members;
        m.erase(std::remove(m.begin(), m.end(), option), m.end());
    }
    g_optionGroups.erase(std::remove_if(g_optionGroups.begin(), g_optionGroups.end(),
                                        [](const OptionGroup& g) { return g.members.empty(); }),
                         g_optionGroups.end());
}

void JoinGroup(COptionUI* option, CPaintManagerUI* manager, const std::wstring& name) {
    LeaveGroup(option);
    if (!manager || name.empty()) return;
    for (auto& g : g_optionGroups) {
        if (g.manager == manager && g.name == name) {
            g.members.push_back(option);
            return;
        }
    }
    g_optionGroups.push_back({manager, name, {option}});
}

std::vector<COptionUI*> GroupMates(COptionUI* option) {
    for (auto& g : g_optionGroups) {
        if (std::find(g.members.begin(), g.members.end(), option) != g.members.end()) return g.members;
    }
    return {};
}
}  // namespace

COptionUI::~COptionUI() { LeaveGroup(this); }

LPCTSTR COptionUI::GetClass() const { return L"Option"; }

LPVOID COptionUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"Option") == 0) return this;
    return CButtonUI::GetInterface(pstrName);
}

void COptionUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
    CButtonUI::SetManager(pManager, pParent, bInit);
    JoinGroup(this, pManager, m_sGroupName.Str());
}

bool COptionUI::Activate() {
    if (!CControlUI::Activate()) return false;
    // In a group a click selects; alone it toggles.
    Selected(m_sGroupName.IsEmpty() ? !m_bSelected : true);
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_CLICK);
    return true;
}

LPCTSTR COptionUI::GetGroup() const { return m_sGroupName; }

void COptionUI::SetGroup(LPCTSTR pStrGroupName) {
    m_sGroupName = pStrGroupName;
    JoinGroup(this, m_pManager, m_sGroupName.Str());
}

bool COptionUI::IsSelected() const { return m_bSelected; }

void COptionUI::Selected(bool bSelected) {
    if (m_bSelected == bSelected) return;
    m_bSelected = bSelected;
    if (m_bSelected) {
        for (COptionUI* mate : GroupMates(this)) {
            if (mate != this) mate->Selected(false);
        }
    }
    Invalidate();
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_SELECTCHANGED);
}

LPCTSTR COptionUI::GetSelectedImage() { return m_sSelectedImage; }

void COptionUI::SetSelectedImage(LPCTSTR pStrImage) {
    m_sSelectedImage = pStrImage;
    Invalidate();
}

void COptionUI::SetSelectedTextColor(DWORD dwTextColor) {
    m_dwSelectedTextColor = dwTextColor;
    Invalidate();
}

DWORD COptionUI::GetSelectedTextColor() const { return m_dwSelectedTextColor; }

void COptionUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    CDuiString name(pstrName);
    if (name == L"group") SetGroup(pstrValue);
    else if (name == L"selected") Selected(attr::ParseBool(pstrValue));
    else if (name == L"selectedimage") SetSelectedImage(attr::ImageFileName(pstrValue).c_str());
    else if (name == L"selectedtextcolor") SetSelectedTextColor(render::ParseColor(pstrValue));
    else CButtonUI::SetAttribute(pstrName, pstrValue);
}

void COptionUI::PaintStatusImage(HDC hDC) {
    if (m_bSelected && !m_sSelectedImage.IsEmpty() && DrawImage(hDC, m_sSelectedImage)) return;
    CButtonUI::PaintStatusImage(hDC);
}

void COptionUI::PaintText(HDC hDC) {
    if (m_bSelected && m_dwSelectedTextColor) {
        DrawLabelText(hDC, m_sText, m_dwSelectedTextColor);
        return;
    }
    CButtonUI::PaintText(hDC);
}
