// Basic vocabulary of the UI library: its string type, the raw event numbers, the
// event and notification records, and the two callback interfaces windows implement.
#pragma once
#include <windows.h>
#include <string>

class CControlUI;

// A wide string with the operations the controls and their users need.
class CDuiString {
public:
    CDuiString() = default;
    CDuiString(const wchar_t* text, int length = -1);
    CDuiString(const std::wstring& text) : text_(text) {}
    CDuiString(wchar_t ch) : text_(1, ch) {}

    operator LPCTSTR() const { return text_.c_str(); }
    LPCTSTR GetData() const { return text_.c_str(); }
    const std::wstring& Str() const { return text_; }
    int GetLength() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }
    wchar_t GetAt(int index) const;
    wchar_t operator[](int index) const { return GetAt(index); }

    void Assign(const wchar_t* text, int length = -1);
    void Append(const wchar_t* text);
    CDuiString& operator=(const wchar_t* text);
    CDuiString& operator+=(const wchar_t* text);
    CDuiString& operator+=(const CDuiString& other);
    CDuiString& operator+=(wchar_t ch);
    CDuiString operator+(const wchar_t* text) const;
    CDuiString operator+(const CDuiString& other) const;

    bool operator==(const wchar_t* text) const;
    bool operator!=(const wchar_t* text) const { return !(*this == text); }
    bool operator==(const CDuiString& other) const { return text_ == other.text_; }
    bool operator!=(const CDuiString& other) const { return text_ != other.text_; }
    bool operator<(const CDuiString& other) const { return text_ < other.text_; }
    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;

    CDuiString Left(int count) const;
    CDuiString Mid(int start, int count = -1) const;
    CDuiString Right(int count) const;
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int Replace(const wchar_t* from, const wchar_t* to);
    void MakeUpper();
    void MakeLower();
    // printf-style formatting; the result is not limited in length.
    int Format(const wchar_t* format, ...);

private:
    std::wstring text_;
};

// A resource name given either as text or as a numeric resource id.
class STRINGorID {
public:
    STRINGorID(LPCTSTR text) : m_lpstr(text) {}
    STRINGorID(UINT id) : m_lpstr(MAKEINTRESOURCEW(id)) {}
    LPCTSTR m_lpstr;
};

// Raw event numbers delivered to a control's event source (OnEvent).
enum EVENTTYPE_UI {
    UIEVENT__FIRST = 1,
    UIEVENT__KEYBEGIN,
    UIEVENT_KEYDOWN,        // 3
    UIEVENT_KEYUP,
    UIEVENT_CHAR,
    UIEVENT_SYSKEY,
    UIEVENT__KEYEND,
    UIEVENT__MOUSEBEGIN,
    UIEVENT_MOUSEMOVE,      // 9
    UIEVENT_MOUSELEAVE,     // 10
    UIEVENT_MOUSEENTER,     // 11
    UIEVENT_MOUSEHOVER,
    UIEVENT_BUTTONDOWN,     // 13
    UIEVENT_BUTTONUP,       // 14
    UIEVENT_RBUTTONDOWN,
    UIEVENT_DBLCLICK,       // 16
    UIEVENT_CONTEXTMENU,
    UIEVENT_SCROLLWHEEL,    // 18: wParam low word SB_LINEUP (0) or SB_LINEDOWN (1)
    UIEVENT__MOUSEEND,
    UIEVENT_KILLFOCUS,
    UIEVENT_SETFOCUS,
    UIEVENT_WINDOWSIZE,
    UIEVENT_SETCURSOR,
    UIEVENT_TIMER,
    UIEVENT__LAST,
};

// Notification type texts (TNotifyUI::sType).
#define DUI_MSGTYPE_CLICK L"click"
#define DUI_MSGTYPE_SETFOCUS L"setfocus"
#define DUI_MSGTYPE_KILLFOCUS L"killfocus"
#define DUI_MSGTYPE_RETURN L"return"
#define DUI_MSGTYPE_CTRL_A L"ctrl_a"
#define DUI_MSGTYPE_TEXTCHANGED L"textchanged"
#define DUI_MSGTYPE_VALUECHANGED L"valuechanged"
#define DUI_MSGTYPE_SELECTCHANGED L"selectchanged"
#define DUI_MSGTYPE_LINK L"link"
#define DUI_MSGTYPE_WINDOWINIT L"windowinit"

// Flags for CControlUI::FindControl.
#define UIFIND_ALL 0x00000000
#define UIFIND_VISIBLE 0x00000001
#define UIFIND_ENABLED 0x00000002
#define UIFIND_HITTEST 0x00000004
#define UIFIND_TOP_FIRST 0x00000008
#define UIFIND_ME_FIRST 0x80000000

// Control flags (GetControlFlags).
#define UIFLAG_TABSTOP 0x00000001
#define UIFLAG_SETCURSOR 0x00000002
#define UIFLAG_WANTRETURN 0x00000004

// Button states.
#define UISTATE_FOCUSED 0x00000001
#define UISTATE_SELECTED 0x00000002
#define UISTATE_DISABLED 0x00000004
#define UISTATE_HOT 0x00000008
#define UISTATE_PUSHED 0x00000010
#define UISTATE_READONLY 0x00000020
#define UISTATE_CAPTURED 0x00000040

// A raw event: mouse points are in the window's client coordinates.
struct TEventUI {
    int Type = 0;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse = {0, 0};
    TCHAR chKey = 0;
    WORD wKeyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// A notification: type text ("click", ...) and the control it comes from.
struct TNotifyUI {
    CDuiString sType;
    CDuiString sVirtualWnd;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Receives every notification that no delegate on the sender consumed.
class INotifyUI {
public:
    virtual void Notify(TNotifyUI& msg) = 0;
protected:
    ~INotifyUI() = default;
};

// Sees window messages before the library does; set bHandled to stop them.
class IMessageFilterUI {
public:
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;
protected:
    ~IMessageFilterUI() = default;
};
