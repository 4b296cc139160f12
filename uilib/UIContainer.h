// Containers: a control that holds child controls. Children are painted in the
// order they were added (later ones on top) and hit-tested top first. A child placed
// with SetMyPos sits at its own rectangle; the others are laid out by the container:
// CContainerUI gives each the whole inner area, the vertical and horizontal layouts
// stack them by their fixed heights or widths and share what is left.
#pragma once
#include "uilib/UIControl.h"
#include <vector>

class CContainerUI : public CControlUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    CControlUI* GetItemAt(int iIndex) const;
    int GetItemIndex(CControlUI* pControl) const;
    bool SetItemIndex(CControlUI* pControl, int iIndex);
    int GetCount() const;
    // The container owns what it holds and deletes it (unless auto-destroy is off).
    virtual bool Add(CControlUI* pControl);
    virtual bool AddAt(CControlUI* pControl, int iIndex);
    virtual bool Remove(CControlUI* pControl, bool bDoNotDestroy = false);
    virtual bool RemoveAt(int iIndex, bool bDoNotDestroy = false);
    virtual void RemoveAll();
    bool IsAutoDestroy() const;
    void SetAutoDestroy(bool bAuto);

    RECT GetInset() const;
    void SetInset(RECT rcInset);
    int GetChildPadding() const;
    void SetChildPadding(int iPadding);

    // Paging hooks used by scrolling containers; nothing by default.
    virtual void PageUp();
    virtual void PageDown();

    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;
    void SetPos(RECT rc) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

protected:
    // Places the children that have their own rectangle.
    void SetMyPosChildren();
    RECT InnerRect() const;

    std::vector<CControlUI*> m_items;
    RECT m_rcInset = {0, 0, 0, 0};
    int m_iChildPadding = 0;
    bool m_bAutoDestroy = true;
};

class CVerticalLayoutUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetPos(RECT rc) override;
};

class CHorizontalLayoutUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetPos(RECT rc) override;
};
