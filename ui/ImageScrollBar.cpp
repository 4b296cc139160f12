// The grid scroll bar: its controls, page changes by buttons, wheel and track, the drag
// that follows the mouse pixel by pixel and snaps to the page shown on release.
#include "ui/ImageScrollBar.h"

#include <algorithm>
#include <mutex>

#include "base/WindowMessages.h"
#include "ui/ImageContainer.h"
#include "uilib/UIManager.h"

namespace {

std::mutex scrollBarInstanceLock;
std::atomic<CImageScrollBar*> scrollBarInstance{nullptr};

constexpr RECT kBarPos = {680, 30, 691, 440};
constexpr RECT kUpButtonPos = {0, 0, 11, 10};
constexpr RECT kSliderPos = {0, 10, 11, 10 + kTrackLength};
constexpr RECT kDownButtonPos = {0, 10 + kTrackLength, 11, 20 + kTrackLength};
constexpr int kThumbWidth = 10;
constexpr DWORD kTrackBorderColor = 0xFFE6EAED;

CButtonUI* MakeArrowButton(RECT pos, LPCTSTR normal, LPCTSTR hot, LPCTSTR pushed) {
    auto* button = new CButtonUI;
    button->SetMyPos(pos);
    button->SetNormalImage(normal);
    button->SetHotImage(hot);
    button->SetPushedImage(pushed);
    return button;
}

}  // namespace

CImageScrollBar* CImageScrollBar::Instance() {
    CImageScrollBar* bar = scrollBarInstance.load();
    if (bar) return bar;
    std::lock_guard<std::mutex> lock(scrollBarInstanceLock);
    bar = scrollBarInstance.load();
    if (!bar) {
        bar = new CImageScrollBar;
        scrollBarInstance.store(bar);
    }
    return bar;
}

CImageScrollBar::CImageScrollBar() {
    SetMyPos(kBarPos);
    upButton = MakeArrowButton(kUpButtonPos, L"Res\\up.png", L"Res\\hover_up.png", L"Res\\click_up.png");
    downButton = MakeArrowButton(kDownButtonPos, L"Res\\down.png", L"Res\\hover_down.png", L"Res\\click_down.png");

    slider = new CSliderUI;
    slider->SetMyPos(kSliderPos);
    slider->SetHorizontal(false);
    slider->SetBorderSize(1);
    slider->SetBorderColor(kTrackBorderColor);
    slider->SetThumbImage(L"Res\\slider_normal.png");
    slider->SetThumbHotImage(L"Res\\slider_hover.png");
    slider->SetThumbPushedImage(L"Res\\slider_click.png");
    slider->SetMaxValue(10);
    slider->SetValue(10);
    slider->SetThumbSize(kThumbWidth, 40);

    upButton->OnNotify += MakeDelegate(this, &CImageScrollBar::OnButtonNotify);
    downButton->OnNotify += MakeDelegate(this, &CImageScrollBar::OnButtonNotify);
    slider->OnNotify += MakeDelegate(this, &CImageScrollBar::OnSliderNotify);
    slider->OnEvent += MakeDelegate(this, &CImageScrollBar::OnSliderEvent);
    Add(upButton);
    Add(slider);
    Add(downButton);
    PublishPosition();
}

void CImageScrollBar::SetRange(int count, bool reset) {
    int previousLastPage = steps.lastPage;
    steps = PageStepsFor(count);
    slider->SetMaxValue(steps.range);
    if (reset) {
        SetSliderValue(steps.range);
        currentPage = 0;
        requestedPage = -1;
    } else {
        // The thumb goes where the page from which the batch was requested now lies.
        SetSliderValue(steps.range - PageOffset(previousLastPage));
    }
    slider->SetMinValue(0);
    slider->SetChangeStep(steps.longStep);
    slider->SetThumbSize(kThumbWidth, steps.thumb);
    PublishPosition();
    SetVisible(steps.lastPage != 0);
}

int CImageScrollBar::PageOffset(int page) const {
    return ::PageOffset(steps, page);
}

int CImageScrollBar::ValueToPage(int value) const {
    return ::ValueToPage(steps, value);
}

void CImageScrollBar::GoToPage(int page) {
    if (page < 0 || page > steps.lastPage || !IsVisible() || steps.singlePage) return;
    if (m_pManager) ::PostMessageW(m_pManager->GetPaintWindow(), UM_COLLAPSE_CATEGORIES, 0, 0);
    CImageContainer::Instance()->FillPage(page);
    if (page == steps.lastPage && steps.lastPage != requestedPage) {
        requestedPage = steps.lastPage;
        CImageContainer::Instance()->RequestMore();
    }
}

void CImageScrollBar::ShowPage(int page) {
    if (page < 0 || page > steps.lastPage || page == currentPage) return;
    currentPage = page;
    SnapThumb();
    GoToPage(currentPage);
}

void CImageScrollBar::PageUp() {
    if (currentPage <= 0) return;
    currentPage -= 1;
    SnapThumb();
    GoToPage(currentPage);
}

void CImageScrollBar::PageDown() {
    if (currentPage >= steps.lastPage) return;
    currentPage += 1;
    SnapThumb();
    GoToPage(currentPage);
}

void CImageScrollBar::SnapThumb() {
    SetSliderValue(slider->GetMaxValue() - PageOffset(currentPage));
}

void CImageScrollBar::SetSliderValue(int value) {
    slider->SetValue(value);
    PublishPosition();
}

void CImageScrollBar::PublishPosition() {
    int step = std::max(steps.longStep, 1);
    pagePosition.store((slider->GetMaxValue() - slider->GetValue()) / step);
}

bool CImageScrollBar::OnButtonNotify(void* param) {
    auto* msg = static_cast<TNotifyUI*>(param);
    if (msg->sType != DUI_MSGTYPE_CLICK) return true;
    if (msg->pSender == upButton) PageUp();
    else if (msg->pSender == downButton) PageDown();
    return true;
}

// The track moved by the library's own stepping: show the nearest page.
bool CImageScrollBar::OnSliderNotify(void* param) {
    auto* msg = static_cast<TNotifyUI*>(param);
    if (msg->sType != DUI_MSGTYPE_VALUECHANGED) return true;
    PublishPosition();
    int page = ValueToPage(slider->GetValue());
    if (page == currentPage) return true;
    currentPage = page;
    GoToPage(page);
    return true;
}

bool CImageScrollBar::OnSliderEvent(void* param) {
    auto* event = static_cast<TEventUI*>(param);
    switch (event->Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        return OnButtonDown(*event);
    case UIEVENT_SCROLLWHEEL:
        if (LOWORD(event->wParam) == SB_LINEUP) PageUp();
        else if (LOWORD(event->wParam) == SB_LINEDOWN) PageDown();
        else return true;
        return false;  // the wheel pages by screen pages, not by the track's step
    case UIEVENT_MOUSEMOVE:
        return dragging ? OnDragMove(*event) : true;
    case UIEVENT_BUTTONUP:
        if (dragging) {
            dragging = false;
            SnapThumb();
        }
        return true;
    default:
        return true;
    }
}

// A press above the thumb pages up, below it pages down, on it starts a drag; the
// slider itself then does nothing with the press.
bool CImageScrollBar::OnButtonDown(const TEventUI& event) {
    if (!IsEnabled()) return true;
    RECT thumb = slider->GetThumbRect();
    int y = event.ptMouse.y;
    if (y > thumb.bottom) {
        PageDown();
    } else if (y >= thumb.top) {
        dragging = true;
        dragLastY = y;
    } else {
        PageUp();
    }
    slider->SetButtonDownHandled(true);
    return true;
}

// The thumb follows the mouse unit by unit; the grid changes page at the rounding points.
bool CImageScrollBar::OnDragMove(const TEventUI& event) {
    int y = event.ptMouse.y;
    int value = std::clamp(slider->GetValue() + (dragLastY - y), slider->GetMinValue(), slider->GetMaxValue());
    dragLastY = y;
    int page = ValueToPage(value);
    if (page != currentPage) {
        GoToPage(page);
        currentPage = page;
    }
    SetSliderValue(value);
    return false;
}
