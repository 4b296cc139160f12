// CAdvWnd: the borderless modal advertisement window, built from the layout the server
// sent. It closes through its "AdvCloseBtn"; while it is open, a click on the disabled
// main window makes its "AdvMainLayout" border flash. A layout that does not build gives
// an empty window that Escape or a click closes. The object deletes itself when its
// window is gone. UI thread, except the flash thread.
#pragma once
#include <memory>
#include <string>

#include "uilib/UIManager.h"
#include "uilib/UIWindow.h"

class CAdvWnd : public CWindowWnd, public INotifyUI, public IMessageFilterUI {
public:
    static constexpr const wchar_t* kClassName = L"ZindleAdvFrame";

    explicit CAdvWnd(const std::wstring& layout);
    // Called by the window's final message; directly only when the window was never made.
    ~CAdvWnd() override;

    void Notify(TNotifyUI& msg) override;
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

protected:
    LPCTSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    LRESULT OnCreate();
    LRESULT HitTest(LPARAM lParam);
    void CloseAdvert();
    void BuildEmptyWindow();

    // What the window and its flash thread share: the thread may outlive the object.
    struct FlashState;

    std::wstring layout;
    CControlUI* mainLayout = nullptr;  // "AdvMainLayout", whose border flashes
    CPaintManagerUI paintManager;
    int initWidth = 0;
    int initHeight = 0;
    HWND mainWindow = nullptr;
    std::shared_ptr<FlashState> flash;  // the flash request, guarded by the flash lock
    bool built = false;                 // the layout gave a control tree
};
