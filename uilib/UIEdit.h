// CEditUI: a one-line text box. While it has the focus a native EDIT window lies
// over it, so typing, selection, the clipboard and the system input method (Chinese
// included) work as in any Windows edit; without the focus the text is painted.
// Notifications: "setfocus", "textchanged", "return", "ctrl_a".
#pragma once
#include "uilib/UILabel.h"

class CEditWnd;

class CEditUI : public CLabelUI {
    friend class CEditWnd;

public:
    CEditUI();
    ~CEditUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    void SetEnabled(bool bEnable = true) override;
    // Sends "textchanged" when the text changes.
    void SetText(LPCTSTR pstrText) override;
    void SetMaxChar(UINT uMax);
    UINT GetMaxChar() const;
    void SetReadOnly(bool bReadOnly);
    bool IsReadOnly() const;
    void SetPasswordMode(bool bPasswordMode);
    bool IsPasswordMode() const;
    void SetNativeEditBkColor(DWORD dwBkColor);
    DWORD GetNativeEditBkColor() const;
    void SetSel(long nStartChar, long nEndChar);
    void SetSelAll();
    void SetReplaceSel(LPCTSTR lpszReplace);
    HWND GetNativeWindow() const;  // null while the edit has no focus

    void SetPos(RECT rc) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintText(HDC hDC) override;

protected:
    void CloseNativeWindow();
    void OnNativeTextChanged(const CDuiString& text);

    CEditWnd* m_pWindow = nullptr;
    UINT m_uMaxChar = 255;
    bool m_bReadOnly = false;
    bool m_bPasswordMode = false;
    DWORD m_dwEditbkColor = 0xFFFFFFFF;
};
