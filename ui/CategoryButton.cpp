// A category button's looks and its selection.
#include "ui/CategoryButton.h"

#include "ui/CategoryLayout.h"
#include "ui/ImageContainer.h"
#include "ui/SearchContainer.h"

namespace {

constexpr DWORD kRowIdleBackground = 0xFFFFFFFF;
constexpr DWORD kDropDownIdleBackground = 0xFFF5F5F5;
constexpr DWORD kHotBackground = 0xFFFF9CB1;
constexpr DWORD kPressedBackground = 0xFFFE829D;
constexpr DWORD kSelectedBackground = 0xFFFE829D;
constexpr DWORD kIdleText = 0xFF000000;
constexpr DWORD kLitText = 0xFFFFFFFF;
constexpr int kButtonFont = 0;

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

void CCategoryButton::AttachMouseHandler() {
    OnEvent += MakeDelegate(this, &CCategoryButton::OnMouseEvent);
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
