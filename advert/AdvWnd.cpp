// The advertisement window: built from the server's layout, dragged by its caption,
// closed by "AdvCloseBtn", and its border flashed on request by a thread of its own.
#include "advert/AdvWnd.h"

#include <windowsx.h>

#include <mutex>

#include "base/DetachedThread.h"
#include "base/WindowMessages.h"
#include "uilib/UIContainer.h"
#include "uilib/UIDlgBuilder.h"

namespace {

// The advertisement flash lock: the flash request flag of the open window.
std::mutex advertFlashLock;

constexpr DWORD kFlashStepMs = 100;
constexpr int kFlashSteps = 4;  // white, grey, white, grey
constexpr DWORD kGreyBorder = 0xFFA7ADB3;
constexpr DWORD kWhiteBorder = 0xFFFFFFFF;
// A window whose layout did not build still shows, empty, at this size.
constexpr int kEmptyWidth = 320;
constexpr int kEmptyHeight = 200;

bool IsClickableClass(LPCTSTR className) {
    return lstrcmpW(className, L"Button") == 0 || lstrcmpW(className, L"Option") == 0 ||
           lstrcmpW(className, L"Text") == 0;
}

}  // namespace

struct CAdvWnd::FlashState {
    HWND window = nullptr;   // once created
    bool requested = false;
    bool gone = false;       // the object is deleted: the thread ends
};

CAdvWnd::CAdvWnd(const std::wstring& layoutText) : layout(layoutText), flash(std::make_shared<FlashState>()) {
    std::shared_ptr<FlashState> state = flash;
    // Polls every 100 ms while the window lives; a request flashes four times.
    StartDetachedThread([state] {
        for (;;) {
            HWND window = nullptr;
            bool requested = false;
            {
                std::lock_guard<std::mutex> lock(advertFlashLock);
                if (state->gone) return;
                window = state->window;
                requested = state->requested;
            }
            if (requested && window && ::IsWindow(window)) {
                for (int i = 1; i <= kFlashSteps && ::IsWindow(window); i++) {
                    ::PostMessageW(window, UM_ADVERT_BORDER, 0, i % 2);
                    ::Sleep(kFlashStepMs);
                }
                std::lock_guard<std::mutex> lock(advertFlashLock);
                state->requested = false;
            }
            ::Sleep(kFlashStepMs);
        }
    });
}

CAdvWnd::~CAdvWnd() {
    std::lock_guard<std::mutex> lock(advertFlashLock);
    flash->gone = true;
}

LPCTSTR CAdvWnd::GetWindowClassName() const { return kClassName; }

UINT CAdvWnd::GetClassStyle() const { return CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS; }

LRESULT CAdvWnd::OnCreate() {
    paintManager.Init(m_hWnd);
    paintManager.AddPreMessageFilter(this);
    paintManager.SetInitSize(initWidth, initHeight);
    CDialogBuilder builder;
    CControlUI* root = layout.empty() ? nullptr : builder.Create(layout.c_str(), nullptr, nullptr, &paintManager);
    built = root != nullptr;
    if (built) paintManager.AttachDialog(root);
    else BuildEmptyWindow();
    paintManager.AddNotifier(this);
    mainLayout = paintManager.FindControl(L"AdvMainLayout");
    mainWindow = ::GetWindow(m_hWnd, GW_OWNER);
    if (!mainWindow) mainWindow = ::GetParent(m_hWnd);
    {
        std::lock_guard<std::mutex> lock(advertFlashLock);
        flash->window = m_hWnd;
    }
    ::PostMessageW(mainWindow, UM_ADVERT_WINDOW, 0, reinterpret_cast<LPARAM>(m_hWnd));
    return 0;
}

// Nothing the server sent could be shown: a plain window that Escape or a click closes,
// rather than a modal window nobody can get rid of.
void CAdvWnd::BuildEmptyWindow() {
    auto* root = new CContainerUI;
    root->SetBkColor(kWhiteBorder);
    root->SetBorderColor(kGreyBorder);
    root->SetBorderSize(1);
    paintManager.AttachDialog(root);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, kEmptyWidth, kEmptyHeight, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CAdvWnd::HitTest(LPARAM lParam) {
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &pt);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    const RECT& caption = paintManager.GetCaptionRect();
    bool inCaption = pt.x >= client.left + caption.left && pt.x < client.right - caption.right &&
                     pt.y >= caption.top && pt.y < caption.bottom;
    if (!inCaption) return HTCLIENT;
    CControlUI* control = paintManager.FindControl(pt);
    return control && !IsClickableClass(control->GetClass()) ? HTCAPTION : HTCLIENT;
}

LRESULT CAdvWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_CREATE:
        return OnCreate();
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        return 0;
    case WM_NCHITTEST:
        return HitTest(lParam);
    case WM_NCACTIVATE:
        if (::IsIconic(m_hWnd)) break;
        return wParam == 0 ? TRUE : FALSE;
    case UM_ADVERT_FLASH: {
        std::lock_guard<std::mutex> lock(advertFlashLock);
        flash->requested = true;
        return 0;
    }
    case UM_ADVERT_BORDER:
        if (mainLayout) mainLayout->SetBorderColor(lParam == 0 ? kGreyBorder : kWhiteBorder);
        return 0;
    case WM_KEYDOWN:
        if (!built && wParam == VK_ESCAPE) {
            CloseAdvert();
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (!built) {
            CloseAdvert();
            return 0;
        }
        break;
    default:
        break;
    }
    LRESULT result = 0;
    if (paintManager.MessageHandler(uMsg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CAdvWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_CLICK && msg.pSender && msg.pSender->GetName() == L"AdvCloseBtn") CloseAdvert();
}

void CAdvWnd::CloseAdvert() {
    mainLayout = nullptr;
    ::PostMessageW(mainWindow, UM_ADVERT_WINDOW, 0, 0);
    Close(1);
}

LRESULT CAdvWnd::MessageHandler(UINT, WPARAM, LPARAM, bool& bHandled) {
    bHandled = false;
    return 0;
}

void CAdvWnd::OnFinalMessage(HWND hWnd) {
    paintManager.RemovePreMessageFilter(this);
    CWindowWnd::OnFinalMessage(hWnd);
    delete this;
}
