// The picker's one top-level window: a borderless, always-on-top 700 x 470 popup whose
// surface the UI library draws. It owns the layout, routes the notifications that belong
// to no single control, and receives every message that worker threads post back.
#pragma once
#include <string>

#include "uilib/UIManager.h"
#include "uilib/UIWindow.h"
#include "uilib/UIContainer.h"

class CTitleLayout;
class CSearchContainerUI;
class CCategoryContainer;
class CBottomContainer;
class CImageContainer;
class CImageScrollBar;

class CMainUI : public CWindowWnd, public INotifyUI {
public:
    static constexpr const wchar_t* kClassName = L"ZindleFrame";
    static constexpr const wchar_t* kTitle = L"Zindle";
    static constexpr int kWidth = 700;
    static constexpr int kHeight = 470;
    static constexpr int kCaptionHeight = 33;
    // The faces of the window's font table.
    static constexpr const wchar_t* kSongFace = L"宋体";
    static constexpr const wchar_t* kHeiFace = L"黑体";

    // The process-wide main window, created on first use. Never replaced or deleted:
    // detached workers may still ask it for the handle to post to while the process ends.
    static CMainUI* GetInstance();

    CMainUI(const CMainUI&) = delete;
    CMainUI& operator=(const CMainUI&) = delete;

    void Notify(TNotifyUI& msg) override;

protected:
    LPCTSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    CMainUI();
    ~CMainUI() override = default;

    // One entry of the message table; false when the message is not this window's.
    bool HandleOwnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT OnCreate();
    LRESULT HitTest(LPARAM lParam);
    void ForwardClickToAdvertWindow(UINT uMsg, LPARAM lParam, LRESULT& result);
    void StartCategoryWorker();
    void RetryCategoriesQuietly();
    void OnCategoriesArrived();
    void OnPicturesArrived(LPARAM outcome);
    void ShowOfflineLook(bool hideCategoryBar);
    void OnClick(const CDuiString& name);
    void OnSetFocus(const CDuiString& name);
    // The recent list to disk and the dwell-time ping, when the program ends either way.
    void SaveSession();
    void TearDown();

    CPaintManagerUI paintManager;
    CVerticalLayoutUI* root = nullptr;
    CTitleLayout* titleBar = nullptr;
    CSearchContainerUI* searchBar = nullptr;    // process-wide instance
    CCategoryContainer* categoryBar = nullptr;
    CBottomContainer* bottomBar = nullptr;
    CImageContainer* grid = nullptr;            // process-wide instance
    CImageScrollBar* scrollBar = nullptr;       // process-wide instance
    // Reply text of the category-list request; written by the worker before it posts
    // UM_CATEGORIES_ARRIVED, read on the UI thread after that message.
    std::string categoryReply;
    // A category-list worker is on its way; only one writes categoryReply at a time.
    bool categoryWorkerBusy = false;
    // The open advertisement window, null when none; guarded by the advert-handle lock.
    HWND advertWindow = nullptr;

#ifdef ZINDLE_TEST_PROBE
    friend struct MainWindowProbe;
#endif
};
