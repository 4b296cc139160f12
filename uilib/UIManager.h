// The paint manager: one per window. It owns the window's control tree, paints it
// into a back buffer, turns window messages into control events and notifications,
// and keeps the window's fonts, focus, hover, capture and animation clock.
// Its static side holds the process-wide instance and resource path.
#pragma once
#include "uilib/UIDefs.h"
#include <memory>
#include <string>
#include <vector>

namespace Gdiplus { class Graphics; }

class CControlUI;
class UIImage;
struct PaintManagerState;

struct TFontInfo {
    HFONT hFont = nullptr;
    CDuiString sFontName;
    int iSize = 0;
    bool bBold = false;
    bool bUnderline = false;
    bool bItalic = false;
    TEXTMETRICW tm = {};
};

class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // Process-wide.
    static void SetInstance(HINSTANCE hInst);
    // Starts the font system and the picture decoders on threads of their own, so that
    // their slow first use (tens of milliseconds each under Wine) runs side by side with
    // the rest of the start-up instead of one after the other on the UI thread. faces
    // names the fonts the windows will ask for. Call as early as possible; once.
    static void WarmUp(const std::vector<std::wstring>& faces);
    static HINSTANCE GetInstance();
    static CDuiString GetInstancePath();  // the program's folder, with a trailing '\'
    static void SetResourcePath(LPCTSTR path);
    static const CDuiString& GetResourcePath();
    static void MessageLoop();  // until WM_QUIT
    // Runs the pre-message filters of the window (or its owner chain) the message is
    // for; true when one of them handled it.
    static bool TranslateMessage(const LPMSG pMsg);
    // Resolves a relative resource name against the resource path.
    static CDuiString ResolveResourcePath(LPCTSTR name);

    // Per window.
    void Init(HWND hWnd, LPCTSTR pstrName = nullptr);
    HWND GetPaintWindow() const;
    CDuiString GetName() const;
    SIZE GetInitSize() const;
    void SetInitSize(int cx, int cy);
    SIZE GetClientSize() const;
    RECT& GetCaptionRect();
    void SetCaptionRect(RECT& rcCaption);
    void SetCaptionRect(const RECT& rcCaption);

    // Fonts: ids index the window's font table; -1 or an unknown id gives the default.
    HFONT AddFont(int id, LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline,
                  bool bItalic, bool bShared = false);
    HFONT GetFont(int id);
    TFontInfo* GetFontInfo(int id);
    // The font of id with bold, underline or italic added (made once, then kept).
    HFONT GetFontVariant(int id, bool bBold, bool bUnderline, bool bItalic);
    void SetDefaultFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    DWORD GetDefaultFontColor() const;
    void SetDefaultFontColor(DWORD dwColor);

    bool AttachDialog(CControlUI* pControl);
    bool InitControls(CControlUI* pControl, CControlUI* pParent = nullptr);
    void ReapObjects(CControlUI* pControl);  // a control is leaving the tree
    CControlUI* GetRoot() const;

    bool AddNotifier(INotifyUI* pControl);
    bool RemoveNotifier(INotifyUI* pControl);
    void SendNotify(TNotifyUI& Msg, bool bAsync = false);
    void SendNotify(CControlUI* pControl, LPCTSTR pstrMessage, WPARAM wParam = 0,
                    LPARAM lParam = 0, bool bAsync = false);

    bool AddPreMessageFilter(IMessageFilterUI* pFilter);
    bool RemovePreMessageFilter(IMessageFilterUI* pFilter);
    bool AddMessageFilter(IMessageFilterUI* pFilter);
    bool RemoveMessageFilter(IMessageFilterUI* pFilter);

    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindControl(LPCTSTR pstrName) const;

    CControlUI* GetFocus() const;
    void SetFocus(CControlUI* pControl);
    CControlUI* GetHover() const;
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const;

    // Timers of a control arrive as UIEVENT_TIMER with wParam = the control's id.
    bool SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse);
    bool KillTimer(CControlUI* pControl, UINT nTimerID);
    void KillTimer(CControlUI* pControl);

    // The window's one animation clock: registered controls get OnAnimationTick when
    // their next frame is due. Stopped while the window is minimised.
    void StartAnimation(CControlUI* pControl);
    void StopAnimation(CControlUI* pControl);
    bool IsAnimating(CControlUI* pControl) const;
    size_t GetAnimationCount() const;
    bool IsClockRunning() const;

    void Invalidate();
    void Invalidate(const RECT& rcItem);
    void NeedUpdate();  // the layout must be recomputed before the next paint
    bool IsUpdateNeeded() const;

    // Images, cached per resolved path; null when the file cannot be decoded.
    std::shared_ptr<UIImage> GetImage(LPCTSTR name);
    static void ClearImageCache();

    // Valid only while the window paints.
    Gdiplus::Graphics* GetPaintGraphics() const;
    HDC GetPaintDC() const;

    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    // True when the message was handled; lRes then holds the result.
    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);

    // Lays the tree out now if it changed since the last layout.
    void LayoutIfNeeded();
    // Paints the whole tree clipped to rcPaint into hdc (the back buffer, or a
    // WM_PRINTCLIENT target).
    void PaintInto(HDC hdc, const RECT& rcPaint);

private:
    void ScheduleClock(DWORD waitMs);
    void RunAnimationClock();
    bool EnsureBackBuffer(HDC windowDc, SIZE size);
    void OnPaint();
    void SendEvent(CControlUI* control, int type, POINT pt, WPARAM wParam = 0, LPARAM lParam = 0,
                   TCHAR key = 0);
    void UpdateHover(POINT pt);
    void OnButtonDown(int type, POINT pt, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(POINT pt, WPARAM wParam, LPARAM lParam);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);

    std::unique_ptr<PaintManagerState> s_;
};
