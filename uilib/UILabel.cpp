// CLabelUI and CTextUI: text in the window's fonts, plain or with inline markup.
#include "uilib/UILabel.h"
#include "uilib/UIManager.h"
#include "uilib/Render.h"
#include "uilib/Attributes.h"

CLabelUI::CLabelUI() = default;

LPCTSTR CLabelUI::GetClass() const { return L"Label"; }

LPVOID CLabelUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"Label") == 0) return this;
    return CControlUI::GetInterface(pstrName);
}

void CLabelUI::SetTextStyle(UINT uStyle) {
    m_uTextStyle = uStyle;
    Invalidate();
}

UINT CLabelUI::GetTextStyle() const { return m_uTextStyle; }

void CLabelUI::SetTextColor(DWORD dwTextColor) {
    if (m_dwTextColor == dwTextColor) return;
    m_dwTextColor = dwTextColor;
    Invalidate();
}

DWORD CLabelUI::GetTextColor() const { return m_dwTextColor; }

void CLabelUI::SetDisabledTextColor(DWORD dwTextColor) {
    m_dwDisabledTextColor = dwTextColor;
    Invalidate();
}

DWORD CLabelUI::GetDisabledTextColor() const { return m_dwDisabledTextColor; }

void CLabelUI::SetFont(int index) {
    if (m_iFont == index) return;
    m_iFont = index;
    Invalidate();
}

int CLabelUI::GetFont() const { return m_iFont; }
RECT CLabelUI::GetTextPadding() const { return m_rcTextPadding; }

void CLabelUI::SetTextPadding(RECT rc) {
    m_rcTextPadding = rc;
    Invalidate();
}

bool CLabelUI::IsShowHtml() const { return m_bShowHtml; }

void CLabelUI::SetShowHtml(bool bShowHtml) {
    if (m_bShowHtml == bShowHtml) return;
    m_bShowHtml = bShowHtml;
    Invalidate();
}

SIZE CLabelUI::EstimateSize(SIZE szAvailable) {
    if (m_cxyFixed.cx > 0 && m_cxyFixed.cy > 0) return m_cxyFixed;
    SIZE sz = m_cxyFixed;
    if (m_pManager) {
        HDC dc = ::GetDC(m_pManager->GetPaintWindow());
        SIZE text = render::MeasureText(m_pManager, dc, m_sText.Str(), m_iFont, m_bShowHtml);
        ::ReleaseDC(m_pManager->GetPaintWindow(), dc);
        if (sz.cx <= 0) sz.cx = text.cx + m_rcTextPadding.left + m_rcTextPadding.right;
        if (sz.cy <= 0) sz.cy = text.cy + m_rcTextPadding.top + m_rcTextPadding.bottom;
    }
    (void)szAvailable;
    return sz;
}

void CLabelUI::SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) {
    CDuiString name(pstrName);
    if (name == L"align") {
        UINT style = m_uTextStyle & ~(DT_LEFT | DT_CENTER | DT_RIGHT);
        if (wcsstr(pstrValue, L"center")) style |= DT_CENTER;
        else if (wcsstr(pstrValue, L"right")) style |= DT_RIGHT;
        SetTextStyle(style);
    } else if (name == L"valign") {
        UINT style = m_uTextStyle & ~(DT_TOP | DT_VCENTER | DT_BOTTOM);
        if (wcsstr(pstrValue, L"top")) style |= DT_TOP;
        else if (wcsstr(pstrValue, L"bottom")) style |= DT_BOTTOM;
        else style |= DT_VCENTER;
        SetTextStyle(style);
    } else if (name == L"endellipsis") {
        SetTextStyle(attr::ParseBool(pstrValue) ? m_uTextStyle | DT_END_ELLIPSIS : m_uTextStyle & ~DT_END_ELLIPSIS);
    } else if (name == L"wordbreak") {
        SetTextStyle(attr::ParseBool(pstrValue) ? (m_uTextStyle & ~DT_SINGLELINE) | DT_WORDBREAK
                                                : (m_uTextStyle & ~DT_WORDBREAK) | DT_SINGLELINE);
    } else if (name == L"font") {
        SetFont(attr::ParseInt(pstrValue));
    } else if (name == L"textcolor") {
        SetTextColor(render::ParseColor(pstrValue));
    } else if (name == L"disabledtextcolor") {
        SetDisabledTextColor(render::ParseColor(pstrValue));
    } else if (name == L"textpadding") {
        RECT rc;
        if (attr::ParseRect(pstrValue, rc)) SetTextPadding(rc);
    } else if (name == L"showhtml") {
        SetShowHtml(attr::ParseBool(pstrValue));
    } else {
        CControlUI::SetAttribute(pstrName, pstrValue);
    }
}

void CLabelUI::PaintText(HDC hDC) {
    DWORD color = m_dwTextColor ? m_dwTextColor : (m_pManager ? m_pManager->GetDefaultFontColor() : 0xFF000000);
    if (!IsEnabled() && m_dwDisabledTextColor) color = m_dwDisabledTextColor;
    DrawLabelText(hDC, m_sText, color);
}

void CLabelUI::DrawLabelText(HDC hDC, LPCTSTR text, DWORD color) {
    if (!text || !*text || !m_pManager) return;
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.top += m_rcTextPadding.top;
    rc.right -= m_rcTextPadding.right;
    rc.bottom -= m_rcTextPadding.bottom;
    if (m_bShowHtml) render::DrawMarkupText(m_pManager, hDC, rc, text, color, m_iFont, m_uTextStyle);
    else render::DrawPlainText(m_pManager, hDC, rc, text, color, m_iFont, m_uTextStyle);
}

CTextUI::CTextUI() { m_uTextStyle = DT_WORDBREAK; }

LPCTSTR CTextUI::GetClass() const { return L"Text"; }

LPVOID CTextUI::GetInterface(LPCTSTR pstrName) {
    if (pstrName && wcscmp(pstrName, L"Text") == 0) return this;
    return CLabelUI::GetInterface(pstrName);
}
