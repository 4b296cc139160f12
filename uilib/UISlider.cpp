// CProgressUI and CSliderUI: value arithmetic, thumb geometry and dragging.
#include "uilib/UISlider.h"
#include "uilib/UIManager.h"
#include "uilib/Render.h"
#include "uilib/Attributes.h"
#include <algorithm>

CProgressUI::CProgressUI() { m_uTextStyle = DT_SINGLELINE | DT_CENTER | DT_VCENTER; }

LPCTSTR CProgressUI::GetClass() const { return L"Progress"; }

LPVOID CProgressUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"Progress") == 0) return this;
    return CLabelUI::GetInterface(pstrName);
}

bool CProgressUI::IsHorizontal() const { return m_bHorizontal; }

void CProgressUI::SetHorizontal(bool bHorizontal) {
    if (m_bHorizontal == bHorizontal) return;
    m_bHorizontal = bHorizontal;
    Invalidate();
}

int CProgressUI::GetMinValue() const { return m_nMin; }

void CProgressUI::SetMinValue(int nMin) {
    m_nMin = nMin;
    if (m_nMax < m_nMin) m_nMax = m_nMin;
    m_nValue = std::clamp(m_nValue, m_nMin, m_nMax);
    Invalidate();
}

int CProgressUI::GetMaxValue() const { return m_nMax; }

void CProgressUI::SetMaxValue(int nMax) {
    m_nMax = nMax;
    if (m_nMin > m_nMax) m_nMin = m_nMax;
    m_nValue = std::clamp(m_nValue, m_nMin, m_nMax);
    Invalidate();
}

int CProgressUI::GetValue() const { return m_nValue; }

void CProgressUI::SetValue(int nValue) {
    nValue = std::clamp(nValue, m_nMin, m_nMax);
    if (nValue == m_nValue) return;
    m_nValue = nValue;
    Invalidate();
}

LPCTSTR CProgressUI::GetForeImage() const { return m_sForeImage; }

void CProgressUI::SetForeImage(LPCTSTR pStrImage) {
    m_sForeImage = pStrImage;
    Invalidate();
}

void CProgressUI::SetForeColor(DWORD dwColor) {
    m_dwForeColor = dwColor;
    Invalidate();
}

DWORD CProgressUI::GetForeColor() const { return m_dwForeColor; }

void CProgressUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    CDuiString name(pstrName);
    if (name == L"hor") SetHorizontal(attr::ParseBool(pstrValue));
    else if (name == L"min") SetMinValue(attr::ParseInt(pstrValue));
    else if (name == L"max") SetMaxValue(attr::ParseInt(pstrValue));
    else if (name == L"value") SetValue(attr::ParseInt(pstrValue));
    else if (name == L"foreimage") SetForeImage(attr::ImageFileName(pstrValue).c_str());
    else if (name == L"forecolor") SetForeColor(render::ParseColor(pstrValue));
    else CLabelUI::SetAttribute(pstrName, pstrValue);
}

void CProgressUI::PaintStatusImage(HDC hDC) {
    if (m_nMax <= m_nMin || (m_sForeImage.IsEmpty() && m_dwForeColor == 0)) return;
    RECT rc = m_rcItem;
    long long span = m_nMax - m_nMin, done = m_nValue - m_nMin;
    if (m_bHorizontal) rc.right = rc.left + static_cast<LONG>((rc.right - rc.left) * done / span);
    else rc.top = rc.bottom - static_cast<LONG>((rc.bottom - rc.top) * done / span);
    if (rc.right <= rc.left || rc.bottom <= rc.top) return;
    render::FillColor(m_pManager, rc, m_dwForeColor);
    if (!m_sForeImage.IsEmpty()) {
        render::ClipScope clip(m_pManager, hDC, rc);
        DrawImage(hDC, m_sForeImage);
    }
}

// ---- CSliderUI ----------------------------------------------------------------------

CSliderUI::CSliderUI() { m_uTextStyle = DT_SINGLELINE | DT_CENTER; }

LPCTSTR CSliderUI::GetClass() const { return L"Slider"; }
UINT CSliderUI::GetControlFlags() const { return IsEnabled() ? UIFLAG_SETCURSOR : 0; }

LPVOID CSliderUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"Slider") == 0) return this;
    return CProgressUI::GetInterface(pstrName);
}

void CSliderUI::SetEnabled(bool bEnable) {
    CProgressUI::SetEnabled(bEnable);
    if (!IsEnabled()) m_uButtonState = 0;
}

int CSliderUI::GetChangeStep() const { return m_nStep; }
void CSliderUI::SetChangeStep(int step) { m_nStep = step; }

void CSliderUI::SetThumbSize(SIZE szXY) {
    m_szThumb = szXY;
    Invalidate();
}

void CSliderUI::SetThumbSize(int cx, int cy) { SetThumbSize(SIZE{cx, cy}); }
SIZE CSliderUI::GetThumbSize() const { return m_szThumb; }

RECT CSliderUI::GetThumbRect() const {
    const RECT& rc = m_rcItem;
    long long span = m_nMax - m_nMin, done = m_nValue - m_nMin;
    if (m_bHorizontal) {
        long long track = (rc.right - rc.left) - m_szThumb.cx;
        LONG left = rc.left + static_cast<LONG>(span > 0 ? track * done / span : 0);
        LONG top = rc.top + (rc.bottom - rc.top - m_szThumb.cy) / 2;
        return {left, top, left + m_szThumb.cx, top + m_szThumb.cy};
    }
    long long track = (rc.bottom - rc.top) - m_szThumb.cy;
    LONG top = rc.bottom - m_szThumb.cy - static_cast<LONG>(span > 0 ? track * done / span : 0);
    LONG left = rc.left + (rc.right - rc.left - m_szThumb.cx) / 2;
    return {left, top, left + m_szThumb.cx, top + m_szThumb.cy};
}

LPCTSTR CSliderUI::GetThumbImage() const { return m_sThumbImage; }
LPCTSTR CSliderUI::GetThumbHotImage() const { return m_sThumbHotImage; }
LPCTSTR CSliderUI::GetThumbPushedImage() const { return m_sThumbPushedImage; }

void CSliderUI::SetThumbImage(LPCTSTR pStrImage) {
    m_sThumbImage = pStrImage;
    Invalidate();
}

void CSliderUI::SetThumbHotImage(LPCTSTR pStrImage) {
    m_sThumbHotImage = pStrImage;
    Invalidate();
}

void CSliderUI::SetThumbPushedImage(LPCTSTR pStrImage) {
    m_sThumbPushedImage = pStrImage;
    Invalidate();
}

void CSliderUI::SetButtonDownHandled(bool bHandled) { m_bButtonDownHandled = bHandled; }
bool CSliderUI::IsButtonDownHandled() const { return m_bButtonDownHandled; }

int CSliderUI::ValueAtPoint(POINT pt) const {
    const RECT& rc = m_rcItem;
    long long span = m_nMax - m_nMin;
    long long track, offset;
    if (m_bHorizontal) {
        track = (rc.right - rc.left) - m_szThumb.cx;
        offset = pt.x - m_nDragOffset - rc.left;
    } else {
        track = (rc.bottom - rc.top) - m_szThumb.cy;
        offset = (rc.bottom - m_szThumb.cy) - (pt.y - m_nDragOffset);
    }
    if (track <= 0 || span <= 0) return m_nValue;
    // Round to the nearest value.
    long long v = m_nMin + (offset * span * 2 + track) / (track * 2);
    return static_cast<int>(std::clamp<long long>(v, m_nMin, m_nMax));
}

void CSliderUI::ChangeValueByUser(int nValue) {
    nValue = std::clamp(nValue, m_nMin, m_nMax);
    if (nValue == m_nValue) return;
    SetValue(nValue);
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_VALUECHANGED);
}

void CSliderUI::Event(TEventUI& event) {
    // The handled mark is for the press being delivered now only.
    if (event.Type == UIEVENT_BUTTONDOWN || event.Type == UIEVENT_DBLCLICK) m_bButtonDownHandled = false;
    CProgressUI::Event(event);
}

void CSliderUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK: {
        bool handled = m_bButtonDownHandled;
        m_bButtonDownHandled = false;
        if (handled || !IsEnabled()) return;
        RECT thumb = GetThumbRect();
        if (::PtInRect(&thumb, event.ptMouse)) {
            m_uButtonState |= UISTATE_CAPTURED | UISTATE_PUSHED;
            m_nDragOffset = m_bHorizontal ? event.ptMouse.x - thumb.left : event.ptMouse.y - thumb.top;
            Invalidate();
            return;
        }
        // A press on the track moves one step towards it.
        bool towardsMax = m_bHorizontal ? event.ptMouse.x >= thumb.right : event.ptMouse.y < thumb.top;
        ChangeValueByUser(m_nValue + (towardsMax ? m_nStep : -m_nStep));
        return;
    }
    case UIEVENT_MOUSEMOVE:
        if (m_uButtonState & UISTATE_CAPTURED) ChangeValueByUser(ValueAtPoint(event.ptMouse));
        return;
    case UIEVENT_BUTTONUP:
        if (m_uButtonState & UISTATE_CAPTURED) {
            m_uButtonState &= ~(UISTATE_CAPTURED | UISTATE_PUSHED);
            Invalidate();
        }
        return;
    case UIEVENT_SCROLLWHEEL:
        if (!IsEnabled()) return;
        if (LOWORD(event.wParam) == SB_LINEUP) ChangeValueByUser(m_nValue + m_nStep);
        else if (LOWORD(event.wParam) == SB_LINEDOWN) ChangeValueByUser(m_nValue - m_nStep);
        return;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            m_uButtonState |= UISTATE_HOT;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSELEAVE:
        m_uButtonState &= ~UISTATE_HOT;
        Invalidate();
        return;
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return;
    default:
        CProgressUI::DoEvent(event);
    }
}

void CSliderUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    CDuiString name(pstrName);
    if (name == L"step") SetChangeStep(attr::ParseInt(pstrValue));
    else if (name == L"thumbimage") SetThumbImage(attr::ImageFileName(pstrValue).c_str());
    else if (name == L"thumbhotimage") SetThumbHotImage(attr::ImageFileName(pstrValue).c_str());
    else if (name == L"thumbpushedimage") SetThumbPushedImage(attr::ImageFileName(pstrValue).c_str());
    else if (name == L"thumbsize") {
        SIZE sz;
        if (attr::ParseSize(pstrValue, sz)) SetThumbSize(sz);
    } else {
        CProgressUI::SetAttribute(pstrName, pstrValue);
    }
}

void CSliderUI::PaintStatusImage(HDC hDC) {
    CProgressUI::PaintStatusImage(hDC);
    RECT thumb = GetThumbRect();
    LPCTSTR candidates[3] = {nullptr, nullptr, m_sThumbImage};
    if (m_uButtonState & UISTATE_PUSHED) candidates[0] = m_sThumbPushedImage;
    if (m_uButtonState & UISTATE_HOT) candidates[1] = m_sThumbHotImage;
    for (LPCTSTR image : candidates) {
        if (image && *image && DrawImage(hDC, image, &thumb)) return;
    }
}
