// The category bar: building the row and the drop-down from the category list, the
// selection, the drop-down's pages, and opening and closing it.
#include "ui/CategoryContainer.h"

#include "net/Pings.h"
#include "net/Text.h"
#include "ui/ImageContainer.h"

namespace {

constexpr RECT kCollapsedPos = {0, 65, 678, 110};
constexpr RECT kExpandedPos = {0, 65, 678, 225};
constexpr RECT kRowPos = {0, 0, 678, 37};
constexpr RECT kMoreButtonPos = {625, 11, 670, 31};
constexpr RECT kDropDownPos = {10, 45, 677, 160};
constexpr RECT kPageSliderPos = {653, 5, 663, 110};
constexpr DWORD kDropDownBorder = 0xFFE7E7E7;
constexpr DWORD kDropDownBackground = 0xFFFFFFFF;
constexpr int kPageSliderWidth = 10;

void SetMoreButtonImages(CButtonUI* button, bool expanded) {
    LPCTSTR normal = expanded ? L"Res\\collapse.png" : L"Res\\more.png";
    LPCTSTR hot = expanded ? L"Res\\collapse_hover.png" : L"Res\\more_hover.png";
    button->SetNormalImage(normal);
    button->SetHotImage(hot);
    button->SetPushedImage(hot);
}

}  // namespace

CCategoryContainer::CCategoryContainer() {
    row = new CContainerUI;
    row->SetMyPos(kRowPos);
    moreButton = new CButtonUI;
    moreButton->SetName(L"CategoryBtn");
    moreButton->SetMyPos(kMoreButtonPos);
    SetMoreButtonImages(moreButton, false);
    moreButton->SetVisible(false);
    moreButton->OnNotify += MakeDelegate(this, &CCategoryContainer::OnMoreButtonNotify);
    row->Add(moreButton);

    dropDown = new CContainerUI;
    dropDown->SetName(L"CategoryContainer");
    dropDown->SetMyPos(kDropDownPos);
    dropDown->SetBorderSize(1);
    dropDown->SetBorderColor(kDropDownBorder);
    dropDown->SetBkColor(kDropDownBackground);
    dropDown->SetVisible(false);
    dropDown->OnEvent += MakeDelegate(this, &CCategoryContainer::OnWheel);

    Add(dropDown);
    Add(row);
    SetMyPos(kCollapsedPos);
}

CCategoryContainer::~CCategoryContainer() = default;

bool CCategoryContainer::LoadCategories(const std::string& reply) {
    if (listBuilt) return true;
    std::vector<CategoryEntry> parsed;
    if (!ParseCategoryList(reply, &parsed)) return false;
    RemoveBuiltInOnly();
    entries = std::move(parsed);
    BuildButtons();
    listBuilt = true;

    CImageContainer* grid = CImageContainer::Instance();
    grid->EnableWorker();
    // A search typed before the list came is already on its way: select nothing now.
    if (grid->HasQueuedRequest()) selectedName.Empty();
    // The recent pictures opened while the network was down stay in front.
    else if (grid->Mode() == ListMode::Recent) selectedName = CCategoryButton::ControlName(0);
    // Without server categories there is no first one to load: the recent list stands in,
    // so the grid does not show its loading look for ever.
    if (selectedName == CCategoryButton::ControlName(1) && buttons.size() < 2) selectedName = CCategoryButton::ControlName(0);
    SelectByName(selectedName);

    if (static_cast<int>(entries.size()) > rowCount) {
        moreButton->SetVisible(true);
        CreatePageSlider();
        dropDown->Add(pageSlider);
        for (size_t i = rowCount; i < buttons.size(); i++) dropDown->Add(buttons[i]);
    }
    return true;
}

void CCategoryContainer::ShowBuiltInOnly() {
    if (listBuilt || !buttons.empty()) return;
    entries = {{kRecentEntryId, kRecentEntryName}};
    int x = kRowFirstX;
    // No "shown" ping: the list's own button is reported when the list comes.
    auto* button = new CCategoryButton(kRecentEntryName, kRecentEntryId, &x);
    button->SetName(CCategoryButton::ControlName(0));
    button->OnNotify += MakeDelegate(this, &CCategoryContainer::OnButtonNotify);
    buttons.push_back(button);
    row->Add(button);
    rowCount = 1;
}

// The list's own "常用" takes the place of the stand-in; the selection carries over by name.
void CCategoryContainer::RemoveBuiltInOnly() {
    for (CCategoryButton* button : buttons) row->Remove(button);
    buttons.clear();
    entries.clear();
    rowCount = 0;
}

void CCategoryContainer::BuildButtons() {
    int index = 0;
    BuildRow(&index);
    BuildDropDown(&index);
}

// At least one button; the one that carries x to the row's end is still placed.
void CCategoryContainer::BuildRow(int* index) {
    int x = kRowFirstX;
    while (*index < static_cast<int>(entries.size())) {
        const CategoryEntry& entry = entries[*index];
        auto* button = Register(new CCategoryButton(entry.name, entry.id, &x), *index, true);
        row->Add(button);
        rowCount++;
        ++*index;
        if (x >= kRowEndX) break;
    }
}

// At most one page of buttons ever exists; later pages re-target them.
void CCategoryContainer::BuildDropDown(int* index) {
    for (int k = 0; *index < static_cast<int>(entries.size()) && k < kDropDownPerPage; k++) {
        const CategoryEntry& entry = entries[*index];
        auto* button = Register(new CCategoryButton(entry.name, entry.id, DropDownButtonRect(k)), *index, false);
        button->OnEvent += MakeDelegate(this, &CCategoryContainer::OnWheel);
        ++*index;
    }
}

CCategoryButton* CCategoryContainer::Register(CCategoryButton* button, int index, bool inRow) {
    PingCategoryShown(button->CategoryId(), FromWide(button->CategoryName(), CP_ACP), inRow);
    button->SetName(CCategoryButton::ControlName(index));
    button->OnNotify += MakeDelegate(this, &CCategoryContainer::OnButtonNotify);
    buttons.push_back(button);
    return button;
}

void CCategoryContainer::CreatePageSlider() {
    paging = DropDownPagingFor(static_cast<int>(entries.size()) - rowCount, pageStep);
    singlePage = paging.singlePage;
    pageStep = paging.pageStep;
    pageSlider = new CSliderUI;
    pageSlider->SetName(L"CatrgoryScroll");
    pageSlider->SetMyPos(kPageSliderPos);
    pageSlider->SetThumbImage(L"Res\\slider_normal.png");
    pageSlider->SetThumbHotImage(L"Res\\slider_hover.png");
    pageSlider->SetThumbPushedImage(L"Res\\slider_click.png");
    pageSlider->SetHorizontal(false);
    pageSlider->SetMaxValue(paging.maxValue);
    pageSlider->SetValue(paging.maxValue);
    pageSlider->SetChangeStep(pageStep);
    pageSlider->SetThumbSize(kPageSliderWidth, paging.thumb);
    // Visible from three pages on; with two the wheel still pages.
    pageSlider->SetVisible(paging.sliderVisible);
    pageSlider->OnNotify += MakeDelegate(this, &CCategoryContainer::OnSliderNotify);
}

void CCategoryContainer::UpdateCurrentPage() {
    if (!pageSlider) return;
    currentPage = DropDownPageAt(paging, pageSlider->GetValue());
}

void CCategoryContainer::ShowDropDownPage() {
    if (singlePage) return;
    for (int k = 0; k < kDropDownPerPage; k++) {
        size_t slot = static_cast<size_t>(rowCount + k);
        if (slot >= buttons.size()) break;
        size_t index = static_cast<size_t>(rowCount + kDropDownPerPage * currentPage + k);
        if (index < entries.size()) {
            buttons[slot]->SetData(entries[index].name, entries[index].id);
            buttons[slot]->SetVisible(true);
        } else {
            buttons[slot]->SetVisible(false);
        }
    }
    SelectByName(selectedName);
}

// A drop-down selection shows only on the page on which it was made: the buttons keep
// their control names from page to page.
void CCategoryContainer::SelectByName(const CDuiString& controlName) {
    if (controlName.IsEmpty()) selectedName.Empty();
    for (CCategoryButton* button : buttons) {
        if (button->GetName() == controlName && (button->IsFirstRow() || selectedPage == currentPage)) {
            selectedName = controlName;
            button->Select();
        } else {
            button->Unselect();
        }
    }
}

bool CCategoryContainer::OnButtonNotify(void* param) {
    auto* msg = static_cast<TNotifyUI*>(param);
    if (msg->sType != DUI_MSGTYPE_CLICK) return true;
    selectedPage = currentPage;
    SelectByName(msg->pSender->GetName());
    CollapseDropDown();
    return true;
}

bool CCategoryContainer::OnMoreButtonNotify(void* param) {
    if (static_cast<TNotifyUI*>(param)->sType == DUI_MSGTYPE_CLICK) ToggleDropDown();
    return true;
}

bool CCategoryContainer::OnSliderNotify(void* param) {
    if (static_cast<TNotifyUI*>(param)->sType != DUI_MSGTYPE_VALUECHANGED) return true;
    UpdateCurrentPage();
    ShowDropDownPage();
    return true;
}

// Over the drop-down and its buttons a notch turns one page.
bool CCategoryContainer::OnWheel(void* param) {
    auto* event = static_cast<TEventUI*>(param);
    if (event->Type != UIEVENT_SCROLLWHEEL || !pageSlider) return true;
    int value = pageSlider->GetValue();
    if (LOWORD(event->wParam) == SB_LINEUP) {
        if (value + pageStep <= pageSlider->GetMaxValue()) pageSlider->SetValue(value + pageStep);
    } else if (LOWORD(event->wParam) == SB_LINEDOWN) {
        if (value - pageStep >= 0) pageSlider->SetValue(value - pageStep);
    }
    UpdateCurrentPage();
    ShowDropDownPage();
    return true;
}

void CCategoryContainer::ToggleDropDown() {
    if (expanded) {
        ShowCollapsed();
        return;
    }
    SetMyPos(kExpandedPos);
    SetMoreButtonImages(moreButton, true);
    dropDown->SetVisible(true);
    expanded = true;
}

void CCategoryContainer::ShowCollapsed() {
    SetMoreButtonImages(moreButton, false);
    SetMyPos(kCollapsedPos);
    dropDown->SetVisible(false);
    expanded = false;
}

void CCategoryContainer::CollapseDropDown() {
    if (expanded) ShowCollapsed();
}

void CCategoryContainer::CollapseUnlessCategoryButton(const CDuiString& controlName) {
    for (CCategoryButton* button : buttons) {
        if (button->GetName() == controlName) return;
    }
    CollapseDropDown();
}
