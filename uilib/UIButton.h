// CButtonUI: a label that reacts to the mouse: hot and pushed images and colours,
// and a "click" notification when the button is released over itself.
// COptionUI: a button that stays selected; options of one group select exclusively.
#pragma once
#include "uilib/UILabel.h"

class CButtonUI : public CLabelUI {
public:
    CButtonUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    bool Activate() override;  // sends "click"
    void SetEnabled(bool bEnable = true) override;
    void DoEvent(TEventUI& event) override;

    LPCTSTR GetNormalImage();
    void SetNormalImage(LPCTSTR pStrImage);
    LPCTSTR GetHotImage();
    void SetHotImage(LPCTSTR pStrImage);
    LPCTSTR GetPushedImage();
    void SetPushedImage(LPCTSTR pStrImage);
    LPCTSTR GetFocusedImage();
    void SetFocusedImage(LPCTSTR pStrImage);
    LPCTSTR GetDisabledImage();
    void SetDisabledImage(LPCTSTR pStrImage);
    void SetHotBkColor(DWORD dwColor);
    DWORD GetHotBkColor() const;
    void SetHotTextColor(DWORD dwColor);
    DWORD GetHotTextColor() const;
    void SetPushedTextColor(DWORD dwColor);
    DWORD GetPushedTextColor() const;
    UINT GetButtonState() const;

    SIZE EstimateSize(SIZE szAvailable) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintText(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;

protected:
    UINT m_uButtonState = 0;
    DWORD m_dwHotBkColor = 0;
    DWORD m_dwHotTextColor = 0;
    DWORD m_dwPushedTextColor = 0;
    CDuiString m_sNormalImage;
    CDuiString m_sHotImage;
    CDuiString m_sPushedImage;
    CDuiString m_sFocusedImage;
    CDuiString m_sDisabledImage;
};

class COptionUI : public CButtonUI {
public:
    ~COptionUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    bool Activate() override;  // selects, then "click"

    LPCTSTR GetGroup() const;
    void SetGroup(LPCTSTR pStrGroupName = nullptr);
    bool IsSelected() const;
    // Sends "selectchanged" when the state changes.
    virtual void Selected(bool bSelected);
    LPCTSTR GetSelectedImage();
    void SetSelectedImage(LPCTSTR pStrImage);
    void SetSelectedTextColor(DWORD dwTextColor);
    DWORD GetSelectedTextColor() const;

    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

protected:
    bool m_bSelected = false;
    CDuiString m_sGroupName;
    CDuiString m_sSelectedImage;
    DWORD m_dwSelectedTextColor = 0;
};
