// CWindowWnd: a top-level or child window whose messages go to a virtual
// HandleMessage; the object is told when its window is gone (OnFinalMessage).
#pragma once
#include "uilib/UIDefs.h"

class CWindowWnd {
public:
    CWindowWnd();
    virtual ~CWindowWnd();

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    bool RegisterWindowClass();
    bool RegisterSuperclass();

    HWND Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle,
                const RECT rc, HMENU hMenu = nullptr);
    HWND Create(HWND hwndParent, LPCTSTR pstrName, DWORD dwStyle, DWORD dwExStyle,
                int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT,
                int cy = CW_USEDEFAULT, HMENU hMenu = nullptr);
    HWND Subclass(HWND hWnd);
    void Unsubclass();
    void ShowWindow(bool bShow = true, bool bTakeFocus = true);
    // Disables the owner, runs messages until this window is destroyed, re-enables the
    // owner; returns the value given to Close.
    UINT ShowModal();
    void Close(UINT nRet = IDOK);
    void CenterWindow();  // over the owner, or the work area of its monitor
    void SetIcon(UINT nRes);
    void ResizeClient(int cx = -1, int cy = -1);

    LRESULT SendMessageW(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0L);
    LRESULT PostMessageW(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0L);

protected:
    virtual LPCTSTR GetWindowClassName() const = 0;
    virtual LPCTSTR GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hWnd);

    static LRESULT CALLBACK __WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK __ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    WNDPROC m_OldWndProc = ::DefWindowProcW;
    bool m_bSubclassed = false;
};
