// The main window: construction of the layout, the message table, the caption hit test,
// the notification dispatch and the switch between the normal and the no-network look.
#include "app/MainUI.h"

#include <windowsx.h>
#include <atomic>
#include <initializer_list>
#include <mutex>
#include <thread>

#include "app/TitleLayout.h"
#include "base/DetachedThread.h"
#include "base/WinHandle.h"
#include "base/WindowMessages.h"
#include "net/Endpoints.h"
#include "ui/BottomContainer.h"
#include "ui/CategoryContainer.h"
#include "ui/ImageContainer.h"
#include "ui/ImageScrollBar.h"
#include "ui/SearchContainer.h"
#include "app/TestProbe.h"

namespace {

// Process-wide locks: constant-initialised, so they exist before any load-time code runs.
std::mutex mainWindowInstanceLock;
std::mutex tileGroupLock;
std::mutex networkStateLock;
std::mutex advertHandleLock;  // never held together with another lock

std::atomic<CMainUI*> mainWindow{nullptr};

// WM_SETCURSOR's lParam when the user pressed the left button on a window that a modal
// window keeps disabled: HTERROR in the low word, WM_LBUTTONDOWN in the high word.
constexpr LPARAM kClickOnDisabledWindow = MAKELPARAM(static_cast<WORD>(HTERROR), WM_LBUTTONDOWN);

// The main window's own timer; the UI library numbers its timers from 0x1000 up.
constexpr UINT_PTR kCategoryRetryTimer = 1;
constexpr UINT kCategoryRetryMs = 5000;

bool IsClickableClass(LPCTSTR className) {
    return lstrcmpW(className, L"Button") == 0 || lstrcmpW(className, L"Option") == 0 ||
           lstrcmpW(className, L"Text") == 0;
}

bool IsOneOf(const CDuiString& name, std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* n : names) {
        if (name == n) return true;
    }
    return false;
}

}  // namespace

CMainUI* CMainUI::GetInstance() {
    CMainUI* window = mainWindow.load();
    if (window) return window;
    std::lock_guard<std::mutex> lock(mainWindowInstanceLock);
    window = mainWindow.load();
    if (!window) {
        window = new CMainUI;
        mainWindow.store(window);
    }
    return window;
}

CMainUI::CMainUI() {
    root = new CVerticalLayoutUI;
    titleBar = new CTitleLayout;
    // The grid's construction loads the recent list and starts its workers.
    grid = CImageContainer::Instance();
    STARTUP_MARK("grid");
    scrollBar = CImageScrollBar::Instance();
    bottomBar = new CBottomContainer;
    searchBar = CSearchContainerUI::Instance();
    categoryBar = new CCategoryContainer;

    root->SetBkColor(0xFFFFFFFF);
    root->SetBorderColor(0xFFA6ADB3);
    root->SetBorderSize(1);
    // The add order is the paint order: what is added later covers what came before, so
    // the category drop-down, added last, lies over the grid.
    root->Add(titleBar);
    root->Add(grid);
    root->Add(scrollBar);
    root->Add(bottomBar);
    root->Add(searchBar);
    root->Add(categoryBar);
}

LPCTSTR CMainUI::GetWindowClassName() const {
    return kClassName;
}

UINT CMainUI::GetClassStyle() const {
    return CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
}

LRESULT CMainUI::OnCreate() {
    paintManager.Init(m_hWnd);
    paintManager.SetInitSize(kWidth, kHeight);
    // Controls name their fonts by these ids.
    paintManager.AddFont(0, kSongFace, 12, false, false, false);
    STARTUP_MARK("font0");
    paintManager.AddFont(1, kHeiFace, 14, false, false, false);
    paintManager.AddFont(2, kSongFace, 14, false, false, false);
    paintManager.AddFont(3, kSongFace, 12, false, false, false);
    STARTUP_MARK("fonts");
    // The top band across the whole width drags the window (see HitTest).
    paintManager.SetCaptionRect(RECT{0, 0, 0, kCaptionHeight});
    paintManager.AttachDialog(root);
    STARTUP_MARK("attached");
    paintManager.AddNotifier(this);
    grid->SetNotifyWindow(m_hWnd);
    StartCategoryWorker();
    STARTUP_MARK("on-create");
    return 0;
}

// The caption band is a caption wherever no button, option or text label lies under the
// point, so the window can be dragged by its empty title area only.
LRESULT CMainUI::HitTest(LPARAM lParam) {
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(m_hWnd, &pt);
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    const RECT& caption = paintManager.GetCaptionRect();
    if (pt.x < client.left + caption.left || pt.x >= client.right - caption.right ||
        pt.y < caption.top || pt.y >= caption.bottom) {
        return HTCLIENT;
    }
    CControlUI* control = paintManager.FindControl(pt);
    if (!control || IsClickableClass(control->GetClass())) return HTCLIENT;
    return HTCAPTION;
}

bool CMainUI::HandleOwnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (uMsg) {
    case WM_CREATE:
        result = OnCreate();
        return true;
    case WM_DESTROY:
        PostQuitMessage(0);
        return false;
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        result = 0;  // the window has no non-client area
        return true;
    case WM_NCHITTEST:
        result = HitTest(lParam);
        return true;
    case WM_NCACTIVATE:
        // Keeps the default frame from being drawn on (de)activation; a minimised window
        // is left to the default handling.
        if (IsIconic(m_hWnd)) return false;
        result = (wParam == 0) ? TRUE : FALSE;
        return true;
    case UM_TILE_GROUP_READY: {
        std::lock_guard<std::mutex> lock(tileGroupLock);
        if (lParam >= 0 && lParam < kTileRows) grid->RefreshTileGroup(static_cast<int>(lParam));
        result = 0;
        return true;
    }
    case UM_SEARCH_STARTED:
        categoryBar->SelectByName(CDuiString());
        categoryBar->CollapseDropDown();
        result = 0;
        return true;
    case UM_COLLAPSE_CATEGORIES:
        categoryBar->CollapseDropDown();
        result = 0;
        return true;
    case UM_ADVERT_READY:
        bottomBar->BuildControls();
        result = 0;
        return true;
    case UM_PICTURES_ARRIVED:
        OnPicturesArrived(lParam);
        result = 0;
        return true;
    case UM_CATEGORIES_ARRIVED:
        OnCategoriesArrived();
        result = 0;
        return true;
    case WM_TIMER:
        if (wParam != kCategoryRetryTimer) return false;
        RetryCategoriesQuietly();
        result = 0;
        return true;
    case UM_ADVERT_WINDOW: {
        std::lock_guard<std::mutex> lock(advertHandleLock);
        advertWindow = reinterpret_cast<HWND>(lParam);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

// While the modal advertisement window keeps this one disabled, a click here makes the
// advertisement window flash its border so the user sees where the input went.
void CMainUI::ForwardClickToAdvertWindow(UINT uMsg, LPARAM lParam, LRESULT& result) {
    std::lock_guard<std::mutex> lock(advertHandleLock);
    if (advertWindow && uMsg == WM_SETCURSOR && lParam == kClickOnDisabledWindow) {
        ::PostMessageW(advertWindow, UM_ADVERT_FLASH, 0, 0);
        result = 0;
    }
}

LRESULT CMainUI::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
#ifdef ZINDLE_TEST_PROBE
    if (MainWindowProbe::HandleMessage(*this, uMsg, wParam, lParam, result)) return result;
#endif
    bool handled = HandleOwnMessage(uMsg, wParam, lParam, result);
    ForwardClickToAdvertWindow(uMsg, lParam, result);
    if (handled) return result;
    if (paintManager.MessageHandler(uMsg, wParam, lParam, result)) {
#ifdef ZINDLE_TEST_PROBE
        if (uMsg == WM_PAINT) MainWindowProbe::Painted();
#endif
        return result;
    }
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

// A detached worker fetches the category list into categoryReply and posts
// UM_CATEGORIES_ARRIVED; the reply is read only after that message.
void CMainUI::StartCategoryWorker() {
    if (categoryWorkerBusy) return;
    categoryWorkerBusy = true;
    std::string* reply = &categoryReply;
    HWND window = m_hWnd;
    if (!StartDetachedThread([reply, window] { RequestCategoryList(*reply, window); })) {
        // No worker, no answer: show the no-network look with its retry at once.
        categoryReply.clear();
        ::PostMessageW(m_hWnd, UM_CATEGORIES_ARRIVED, 0, 0);
    }
}

// The recent pictures opened while the list is missing hide "RefreshBtn": the list is
// then asked for in the background, and the bar is built when it comes.
void CMainUI::RetryCategoriesQuietly() {
    if (categoryReply.empty() && grid->Mode() == ListMode::Recent) StartCategoryWorker();
}

// The no-network look: the grid's offline state with "RefreshBtn"; the search bar goes,
// and after a failed picture request the category bar too.
void CMainUI::ShowOfflineLook(bool hideCategoryBar) {
    searchBar->SetVisible(false);
    if (hideCategoryBar) categoryBar->SetVisible(false);
    grid->ShowOffline();
}

// A reply that holds no category list (a broken server, a proxy's page) counts as no
// reply: the no-network look offers the retry instead of loading for ever, and the row
// its built-in "常用". Someone looking at the recent pictures keeps them; the list is
// asked for again quietly until it comes.
void CMainUI::OnCategoriesArrived() {
    categoryWorkerBusy = false;
    if (categoryReply.empty() || !categoryBar->LoadCategories(categoryReply)) {
        categoryReply.clear();
        categoryBar->ShowBuiltInOnly();
        ::SetTimer(m_hWnd, kCategoryRetryTimer, kCategoryRetryMs, nullptr);
        if (grid->Mode() != ListMode::Recent) ShowOfflineLook(false);
        return;
    }
    ::KillTimer(m_hWnd, kCategoryRetryTimer);
    grid->ShowNormalBackground();
    searchBar->SetVisible(true);
    bottomBar->StartAdvertLoad();
}

void CMainUI::OnPicturesArrived(LPARAM outcome) {
    std::lock_guard<std::mutex> lock(networkStateLock);
    // A list the user has left since: the request that replaced it brings the right one.
    if (grid->IsStaleResult()) return;
    if (outcome == PictureLists::kFetchFailed) {
        ShowOfflineLook(true);
        return;
    }
    searchBar->SetVisible(true);
    categoryBar->SetVisible(true);
    grid->ShowNormalBackground();
    grid->ShowResult(outcome == PictureLists::kNewListReady);
    scrollBar->GoToPage(scrollBar->CurrentPage());
}

void CMainUI::Notify(TNotifyUI& msg) {
    if (!msg.pSender) return;
    CDuiString name = msg.pSender->GetName();
    if (msg.sType == DUI_MSGTYPE_CLICK) OnClick(name);
    else if (msg.sType == DUI_MSGTYPE_SETFOCUS) OnSetFocus(name);
}

void CMainUI::OnClick(const CDuiString& name) {
    if (name == L"MainUIMinBtn") {
        SendMessageW(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"MainUICLOSEBtn") {
        // The window stays: ending the message loop ends the program.
        SaveSession();
        PostQuitMessage(0);
    } else if (name == L"RefreshBtn") {
        grid->ShowLoading();
        if (categoryReply.empty()) StartCategoryWorker();
        else grid->Refresh();
    }
}

// Focus moving elsewhere closes the category drop-down and gives an empty search edit
// its hint back, unless it moved within the bar concerned.
void CMainUI::OnSetFocus(const CDuiString& name) {
    if (!IsOneOf(name, {L"CategoryBtn", L"CategoryContainer", L"CatrgoryScroll"}))
        categoryBar->CollapseUnlessCategoryButton(name);
    if (!IsOneOf(name, {L"SearchEdit", L"EditDeleteBtn", L"SearchBtn"})) searchBar->RestoreHint();
}

void CMainUI::SaveSession() {
    grid->SaveRecent();
    grid->SendDwellTime();
}

// Runs after the window was destroyed from outside (WM_CLOSE): the session is saved and
// the paint manager lets go of the window. The control tree itself is kept: the
// process-wide controls in it must outlive the window, since detached workers may still
// reach them until the process ends.
void CMainUI::TearDown() {
    SaveSession();
    paintManager.RemoveNotifier(this);
}

void CMainUI::OnFinalMessage(HWND hWnd) {
    CWindowWnd::OnFinalMessage(hWnd);
    TearDown();
}
