// CProgressUI: a bar filled in proportion to its value between minimum and maximum,
// horizontal (filled from the left) or vertical (filled from the bottom).
// CSliderUI: a progress bar with a draggable thumb; the user changes the value by
// dragging, clicking the track (one change step towards the click) or the wheel.
// Notification "valuechanged" when the user changed the value.
#pragma once
#include "uilib/UILabel.h"

class CProgressUI : public CLabelUI {
public:
    CProgressUI();

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    bool IsHorizontal() const;
    void SetHorizontal(bool bHorizontal = true);
    int GetMinValue() const;
    void SetMinValue(int nMin);
    int GetMaxValue() const;
    void SetMaxValue(int nMax);
    int GetValue() const;
    void SetValue(int nValue);  // clamped to [minimum, maximum]
    LPCTSTR GetForeImage() const;
    void SetForeImage(LPCTSTR pStrImage);
    void SetForeColor(DWORD dwColor);
    DWORD GetForeColor() const;

    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;

protected:
    bool m_bHorizontal = true;
    int m_nMax = 100;
    int m_nMin = 0;
    int m_nValue = 0;
    DWORD m_dwForeColor = 0;
    CDuiString m_sForeImage;
};

class CSliderUI : public CProgressUI {
public:
    CSliderUI();

    LPCTSTR GetClass() const override;
    UINT GetControlFlags() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    void SetEnabled(bool bEnable = true) override;
    int GetChangeStep() const;
    void SetChangeStep(int step);
    void SetThumbSize(SIZE szXY);
    void SetThumbSize(int cx, int cy);
    SIZE GetThumbSize() const;
    // The thumb in window client coordinates. Vertical sliders put the maximum at the
    // top: thumb top = top + (max - value) * (height - thumb height) / (max - min).
    RECT GetThumbRect() const;
    LPCTSTR GetThumbImage() const;
    void SetThumbImage(LPCTSTR pStrImage);
    LPCTSTR GetThumbHotImage() const;
    void SetThumbHotImage(LPCTSTR pStrImage);
    LPCTSTR GetThumbPushedImage() const;
    void SetThumbPushedImage(LPCTSTR pStrImage);
    // A delegate on OnEvent calls this during a button-down (or double click) it has
    // dealt with: the slider then neither moves the value nor starts a drag for it.
    void SetButtonDownHandled(bool bHandled = true);
    bool IsButtonDownHandled() const;

    void Event(TEventUI& event) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;

protected:
    int ValueAtPoint(POINT pt) const;
    void ChangeValueByUser(int nValue);

    SIZE m_szThumb = {10, 10};
    UINT m_uButtonState = 0;
    int m_nStep = 1;
    int m_nDragOffset = 0;  // mouse position within the thumb while dragging
    bool m_bButtonDownHandled = false;
    CDuiString m_sThumbImage;
    CDuiString m_sThumbHotImage;
    CDuiString m_sThumbPushedImage;
};
