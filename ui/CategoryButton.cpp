// A category button's looks and its selection.
#include "ui/CategoryButton.h"

#include "ui/CategoryLayout.h"
#include "ui/FocusCycle.h"
#include "ui/ImageContainer.h"
#include "ui/SearchContainer.h"
#include "uilib/UIManager.h"

namespace {

constexpr DWORD kRowIdleBackground = 0xFFFFFFFF;
constexpr DWORD kDropDownIdleBackground = 0xFFF5F5F5;
constexpr DWORD kHotBackground = 0xFFFF9CB1;
constexpr DWORD kPressedBackground = 0xFFFE829D;
constexpr DWORD kSelectedBackground = 0xFFFE829D;
constexpr DWORD kIdleText = 0xFF000000;
constexpr DWORD kLitText = 0xFFFFFFFF;
constexpr int kButtonFont = 0;
constexpr DWORD kFocusBorder = 0xFFFE839D;

constexpr wchar_t kControlNamePrefix[] = L"CategoryButton_";

}  // namespace

CCategoryButton::CCategoryButton(const std::wstring& categoryName, const std::string& categoryId, int* x)
    : firstRow(true) {
    int length = static_cast<int>(categoryName.size());
    SetMyPos(RowButtonRect(*x, length));
    *x = NextRowX(*x, length);
    SetData(categoryName, categoryId);
    ShowIdle();
    AttachMouseHandler();
}

CCategoryButton::CCategoryButton(const std::wstring& categoryName, const std::string& categoryId, RECT rc)
    : firstRow(false) {
    SetMyPos(rc);
    SetData(categoryName, categoryId);
    ShowIdle();
    AttachMouseHandler();
}

CDuiString CCategoryButton::ControlName(int index) {
    CDuiString name;
    name.Format(L"%ls%d", kControlNamePrefix, index);
    return name;
}

void CCategoryButton::AttachMouseHandler() {
    // No border of its own; a pink one while the keyboard's focus is on it.
    SetBorderSize(1);
    SetFocusBorderColor(kFocusBorder);
    OnEvent += MakeDelegate(this, &CCategoryButton::OnMouseEvent);
}

// In the row Left and Right go to the neighbouring buttons, Tab on to the next stop;
// Enter clicks, as with any button.
bool CCategoryButton::OnRowKey(const TEventUI& event) {
    if (event.Type != UIEVENT_KEYDOWN || !m_pManager) return true;
    if (event.wParam == VK_TAB) {
        MoveFocus(m_pManager, FocusStop::Categories, ShiftIsDown());
        return false;
    }
    if (!firstRow || (event.wParam != VK_LEFT && event.wParam != VK_RIGHT)) return true;
    int index = _wtoi(GetName().Mid(static_cast<int>(wcslen(kControlNamePrefix))).GetData());
    CDuiString next = ControlName(index + (event.wParam == VK_RIGHT ? 1 : -1));
    auto* neighbour = dynamic_cast<CCategoryButton*>(m_pManager->FindControl(next));
    if (neighbour && neighbour->IsFirstRow()) neighbour->SetFocus();
    return false;
}

void CCategoryButton::SetData(const std::wstring& categoryName, const std::string& categoryId) {
    name = categoryName;
    id = categoryId;
    SetText(name.c_str());
    SetFont(kButtonFont);
    selected = false;
}

DWORD CCategoryButton::IdleBackground() const {
    return firstRow ? kRowIdleBackground : kDropDownIdleBackground;
}

void CCategoryButton::ShowIdle() {
    SetBkColor(IdleBackground());
    SetTextColor(kIdleText);
}

void CCategoryButton::Select() {
    SetBkColor(kSelectedBackground);
    SetTextColor(kLitText);
    selected = true;
    hot = false;
    if (id == kRecentEntryId) CSearchContainerUI::Instance()->SetCategoryHint(L"搜索表情", true);
    else CSearchContainerUI::Instance()->SetCategoryHint(GetText(), false);
    CImageContainer::Instance()->SelectCategory(firstRow, id, name);
}

void CCategoryButton::Unselect() {
    selected = false;
    if (pressed) {
        SetBkColor(kPressedBackground);
        SetTextColor(kLitText);
    } else if (hot) {
        SetBkColor(kHotBackground);
        SetTextColor(kLitText);
    } else {
        ShowIdle();
    }
}

// The handler always lets the event go on, so the button still clicks.
bool CCategoryButton::OnMouseEvent(void* param) {
    auto* event = static_cast<TEventUI*>(param);
    if (event->Type == UIEVENT_KEYDOWN) return OnRowKey(*event);
    switch (event->Type) {
    case UIEVENT_MOUSEMOVE:
        hot = true;
        if (!pressed && !selected) {
            SetTextColor(kLitText);
            SetBkColor(kHotBackground);
        }
        break;
    case UIEVENT_MOUSELEAVE:
        hot = false;
        if (!pressed && !selected) ShowIdle();
        break;
    case UIEVENT_BUTTONDOWN:
        pressed = true;
        SetBkColor(kPressedBackground);
        break;
    case UIEVENT_BUTTONUP:
        pressed = false;
        break;
    default:
        break;
    }
    return true;
}
