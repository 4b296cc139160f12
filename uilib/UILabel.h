// CLabelUI: a control that draws its text in one of the window's fonts, optionally
// with inline markup ({u}, {a}, {c #RRGGBB}, {b}, {i}, {f id}, {n}); CTextUI is the
// same as a plain text element.
#pragma once
#include "uilib/UIControl.h"

class CLabelUI : public CControlUI {
public:
    CLabelUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    void SetTextStyle(UINT uStyle);  // DT_* flags; default DT_VCENTER | DT_SINGLELINE
    UINT GetTextStyle() const;
    void SetTextColor(DWORD dwTextColor);
    DWORD GetTextColor() const;
    void SetDisabledTextColor(DWORD dwTextColor);
    DWORD GetDisabledTextColor() const;
    void SetFont(int index);
    int GetFont() const;
    RECT GetTextPadding() const;
    void SetTextPadding(RECT rc);
    bool IsShowHtml() const;
    void SetShowHtml(bool bShowHtml = true);

    SIZE EstimateSize(SIZE szAvailable) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintText(HDC hDC) override;

protected:
    void DrawLabelText(HDC hDC, LPCTSTR text, DWORD color);

    DWORD m_dwTextColor = 0;
    DWORD m_dwDisabledTextColor = 0;
    int m_iFont = -1;
    UINT m_uTextStyle = DT_VCENTER | DT_SINGLELINE;
    RECT m_rcTextPadding = {0, 0, 0, 0};
    bool m_bShowHtml = false;
};

class CTextUI : public CLabelUI {
public:
    CTextUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
};
