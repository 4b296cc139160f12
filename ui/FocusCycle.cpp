// Tab order of the main window.
#include "ui/FocusCycle.h"

#include "ui/CategoryButton.h"
#include "ui/ImageContainer.h"
#include "uilib/UIManager.h"

namespace {

CCategoryButton* RowButton(CPaintManagerUI* pm, int index) {
    auto* button = dynamic_cast<CCategoryButton*>(pm->FindControl(CCategoryButton::ControlName(index)));
    return button && button->IsFirstRow() && button->IsVisible() ? button : nullptr;
}

bool FocusStopNow(CPaintManagerUI* pm, FocusStop stop) {
    switch (stop) {
    case FocusStop::Search: {
        CControlUI* edit = pm->FindControl(L"SearchEdit");
        if (!edit || !edit->IsVisible()) return false;
        edit->SetFocus();
        return true;
    }
    case FocusStop::Categories:
        return FocusCategoryRow(pm);
    case FocusStop::Grid:
        if (!CImageContainer::Instance()->IsVisible()) return false;
        CImageContainer::Instance()->FocusFromKeyboard();
        return true;
    }
    return false;
}

}  // namespace

bool ShiftIsDown() { return ::GetKeyState(VK_SHIFT) < 0; }

void TakeKeyboard(CPaintManagerUI* pm) {
    HWND window = pm ? pm->GetPaintWindow() : nullptr;
    if (window && ::GetFocus() != window) ::SetFocus(window);
}

bool FocusCategoryRow(CPaintManagerUI* pm) {
    CCategoryButton* chosen = nullptr;
    for (int i = 0; CCategoryButton* button = RowButton(pm, i); i++) {
        if (!chosen) chosen = button;
        if (button->IsSelected()) {
            chosen = button;
            break;
        }
    }
    if (!chosen) return false;
    chosen->SetFocus();
    TakeKeyboard(pm);
    return true;
}

void MoveFocus(CPaintManagerUI* pm, FocusStop from, bool backwards) {
    if (!pm) return;
    int stop = static_cast<int>(from);
    for (int step = 1; step <= 3; step++) {
        int next = ((stop + (backwards ? -step : step)) % 3 + 3) % 3;
        if (FocusStopNow(pm, static_cast<FocusStop>(next))) return;
    }
}
