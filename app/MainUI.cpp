// The main window: construction of the layout, the message table, the caption hit test,
// the notification dispatch and the switch between the normal and the no-network look.
#include "app/MainUI.h"

#include <windowsx.h>
#include <atomic>
#include <mutex>
#include <thread>

#include "app/TitleLayout.h"
#include "base/WinHandle.h"
#include "base/WindowMessages.h"
#include "net/Endpoints.h"
#ifdef ZINDLE_TEST_PROBE
#include "app/TestProbe.h"
#endif

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

bool IsClickableClass(LPCTSTR className) {
    return lstrcmpW(className, L"Button") == 0 || lstrcmpW(className, L"Option") == 0 ||
           lstrcmpW(className, L"Text") == 0;
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

    root->SetBkColor(0xFFFFFFFF);
    root->SetBorderColor(0xFFA6ADB3);
    root->SetBorderSize(1);
    // The add order is the paint order: what is added later covers what came before.
    root->Add(titleBar);
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
    paintManager.AddFont(0, L"宋体", 12, false, false, false);
    paintManager.AddFont(1, L"黑体", 14, false, false, false);
    paintManager.AddFont(2, L"宋体", 14, false, false, false);
    paintManager.AddFont(3, L"宋体", 12, false, false, false);
    // The top band across the whole width drags the window (see HitTest).
    paintManager.SetCaptionRect(RECT{0, 0, 0, kCaptionHeight});
    paintManager.AttachDialog(root);
    paintManager.AddNotifier(this);
    StartCategoryWorker();
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
        result = 0;
        return true;
    }
    case UM_SEARCH_STARTED:
    case UM_COLLAPSE_CATEGORIES:
    case UM_ADVERT_READY:
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

namespace {

struct CategoryRequest {
    std::string* reply;
    HWND window;
};

DWORD WINAPI CategoryListWorker(void* param) {
    CategoryRequest request = *static_cast<CategoryRequest*>(param);
    delete static_cast<CategoryRequest*>(param);
    RequestCategoryList(*request.reply, request.window);
    return 0;
}

}  // namespace

// A detached worker fetches the category list into categoryReply and posts
// UM_CATEGORIES_ARRIVED; the reply is read only after that message.
void CMainUI::StartCategoryWorker() {
    auto* request = new CategoryRequest{&categoryReply, m_hWnd};
    KernelHandle thread(CreateThread(nullptr, 0, CategoryListWorker, request, 0, nullptr));
    if (!thread) {
        // No worker, no answer: show the no-network look with its retry at once.
        delete request;
        categoryReply.clear();
        ::PostMessageW(m_hWnd, UM_CATEGORIES_ARRIVED, 0, 0);
    }
}

void CMainUI::OnCategoriesArrived() {
}

void CMainUI::OnPicturesArrived(LPARAM outcome) {
    std::lock_guard<std::mutex> lock(networkStateLock);
    (void)outcome;
}

void CMainUI::Notify(TNotifyUI& msg) {
    if (!msg.pSender) return;
    CDuiString name = msg.pSender->GetName();
    if (msg.sType == DUI_MSGTYPE_CLICK) OnClick(name);
}

void CMainUI::OnClick(const CDuiString& name) {
    if (name == L"MainUIMinBtn") {
        SendMessageW(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"MainUICLOSEBtn") {
        // The window stays: ending the message loop ends the program.
        PostQuitMessage(0);
    }
}

// Runs after the window was destroyed from outside (WM_CLOSE): the paint manager lets go
// of the window. The control tree itself is kept: the process-wide controls in it must
// outlive the window, since detached workers may still reach them until the process ends.
void CMainUI::TearDown() {
    paintManager.RemoveNotifier(this);
}

void CMainUI::OnFinalMessage(HWND hWnd) {
    CWindowWnd::OnFinalMessage(hWnd);
    TearDown();
}
