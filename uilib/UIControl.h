// CControlUI: the base of every control. A control is a rectangle of the window
// painted by the library (never a window of its own), with colours, a background
// image, text, visibility, focus, and two delegate sources: OnEvent for raw events,
// OnNotify for notifications.
#pragma once
#include "uilib/UIDefs.h"
#include "uilib/UIDelegate.h"

class CPaintManagerUI;

typedef CControlUI*(CALLBACK* FINDCONTROLPROC)(CControlUI*, LPVOID);

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();

    virtual CDuiString GetName() const;
    virtual void SetName(LPCTSTR pstrName);
    virtual LPCTSTR GetClass() const;  // "Control", "Button", "Option", "Text", ...
    virtual LPVOID GetInterface(LPCTSTR pstrName);
    virtual UINT GetControlFlags() const;

    virtual bool Activate();
    virtual CControlUI* GetParent() const;
    virtual CPaintManagerUI* GetManager() const;
    virtual void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true);

    // Text.
    virtual CDuiString GetText() const;
    virtual void SetText(LPCTSTR pstrText);

    // Looks. Colours are ARGB (0xAARRGGBB); 0 means none.
    DWORD GetBkColor() const;
    void SetBkColor(DWORD dwBackColor);
    LPCTSTR GetBkImage();
    virtual void SetBkImage(LPCTSTR pStrImage);
    DWORD GetBorderColor() const;
    void SetBorderColor(DWORD dwBorderColor);
    DWORD GetFocusBorderColor() const;
    void SetFocusBorderColor(DWORD dwBorderColor);
    int GetBorderSize() const;
    void SetBorderSize(int nSize);

    // Position. GetPos is in window client coordinates, set by the parent's layout.
    virtual const RECT& GetPos() const;
    virtual void SetPos(RECT rc);
    // Places the control at rc relative to its parent's top left corner, whatever the
    // parent's layout does with its other children.
    virtual void SetMyPos(RECT rc);
    void SetMyPos(int left, int top, int right, int bottom);
    bool HasMyPos() const;
    const RECT& GetMyPos() const;
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual int GetFixedWidth() const;  // 0: takes what the layout gives
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual SIZE EstimateSize(SIZE szAvailable);
    // Space kept free around the control by vertical and horizontal layouts.
    RECT GetPadding() const;
    void SetPadding(RECT rcPadding);

    virtual CDuiString GetToolTip() const;
    virtual void SetToolTip(LPCTSTR pstrText);
    virtual const CDuiString& GetUserData();
    virtual void SetUserData(LPCTSTR pstrText);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR pTag);

    // State.
    virtual bool IsVisible() const;  // this control and all its parents
    virtual void SetVisible(bool bVisible = true);
    virtual void SetInternVisible(bool bVisible = true);  // set by a hidden parent
    bool IsOwnVisible() const;
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool bEnable = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool bEnable = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool bEnable = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();

    virtual CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags);

    void Invalidate();
    bool IsUpdateNeeded() const;
    void NeedUpdate();
    void NeedParentUpdate();

    virtual void Init();
    virtual void DoInit();

    // Runs OnEvent's delegates; when all return true, the control's own DoEvent.
    virtual void Event(TEventUI& event);
    virtual void DoEvent(TEventUI& event);

    // Markup attributes ("name", "pos", "bkcolor", "bkimage", "text", ...); unknown
    // names are ignored.
    virtual void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue);
    CControlUI* ApplyAttributeList(LPCTSTR pstrList);

    // Painting, in window client coordinates, clipped to rcPaint.
    virtual void DoPaint(HDC hDC, const RECT& rcPaint);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);

    // Called by the paint manager's animation clock; returns the milliseconds until
    // the next tick wanted, or 0 to leave the clock.
    virtual DWORD OnAnimationTick(DWORD nowTick);

    CEventSource OnInit;
    CEventSource OnDestroy;
    CEventSource OnSize;
    CEventSource OnEvent;
    CEventSource OnNotify;

protected:
    virtual void OnVisibilityChanged();
    // Repaints rc (window coordinates) as far as the ancestors let it show.
    void InvalidateArea(const RECT& rc);
    bool IsVisibleForPaint() const;
    // Draws an image resource into rc (the control's own rectangle when null),
    // stretched, or fitted with aspect kept and centred when fit is true.
    bool DrawImage(HDC hDC, LPCTSTR pStrImage, const RECT* rc = nullptr, bool fit = false);

    CPaintManagerUI* m_pManager = nullptr;
    CControlUI* m_pParent = nullptr;
    CDuiString m_sName;
    CDuiString m_sText;
    CDuiString m_sToolTip;
    CDuiString m_sUserData;
    UINT_PTR m_pTag = 0;
    bool m_bUpdateNeeded = true;
    bool m_bVisible = true;
    bool m_bInternVisible = true;
    bool m_bEnabled = true;
    bool m_bMouseEnabled = true;
    bool m_bKeyboardEnabled = true;
    bool m_bFocused = false;
    bool m_bMyPos = false;
    bool m_bFloat = false;
    RECT m_rcItem = {0, 0, 0, 0};
    RECT m_rcMyPos = {0, 0, 0, 0};
    SIZE m_cxyFixed = {0, 0};
    RECT m_rcPadding = {0, 0, 0, 0};

    DWORD m_dwBackColor = 0;
    DWORD m_dwBorderColor = 0;
    DWORD m_dwFocusBorderColor = 0;
    int m_nBorderSize = 0;
    CDuiString m_sBkImage;
};
