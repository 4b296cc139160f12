// CCategoryContainer: the strip under the title bar from which the user picks a category.
// Built once from the server's category list: the first categories that fit go into the
// row as text-wide buttons, the rest into a drop-down of 18 buttons a page, opened by
// "CategoryBtn" and paged with its slider or the wheel. Until the list comes (the network
// down at start) the row holds the built-in "常用" alone. UI thread only.
#pragma once
#include <string>
#include <vector>

#include "ui/CategoryButton.h"
#include "ui/CategoryLayout.h"
#include "uilib/UIContainer.h"
#include "uilib/UISlider.h"

class CCategoryContainer : public CContainerUI {
public:
    CCategoryContainer();
    ~CCategoryContainer() override;

    // Builds the bar from the category-list reply and selects its first server category
    // (unless a request was queued before the list came). False when the reply holds no
    // list, and the bar stays empty; a list that was built is never built again.
    bool LoadCategories(const std::string& reply);
    // Without a category list the row still offers the built-in "常用" where the list puts
    // it, so the recent pictures, which are local, can be opened and sent. The list, when
    // it comes, replaces it. Nothing once the list was built.
    void ShowBuiltInOnly();
    // Selects the button of that control name and unselects the others; an empty name
    // unselects all, and no later page change brings a selection back.
    void SelectByName(const CDuiString& controlName);
    void CollapseDropDown();
    // Focus went to controlName: unless it is a category button, the drop-down closes.
    void CollapseUnlessCategoryButton(const CDuiString& controlName);

    bool IsExpanded() const { return expanded; }
    int CurrentPage() const { return currentPage; }
    int RowCount() const { return rowCount; }
    const CDuiString& SelectedName() const { return selectedName; }
    const std::vector<CCategoryButton*>& Buttons() const { return buttons; }

private:
    void BuildButtons();
    void RemoveBuiltInOnly();
    void BuildRow(int* index);
    void BuildDropDown(int* index);
    CCategoryButton* Register(CCategoryButton* button, int index, bool inRow);
    void CreatePageSlider();
    void ToggleDropDown();
    void ShowCollapsed();
    void ShowDropDownPage();
    void UpdateCurrentPage();
    bool OnButtonNotify(void* param);
    bool OnMoreButtonNotify(void* param);
    bool OnSliderNotify(void* param);
    bool OnWheel(void* param);

    std::vector<CategoryEntry> entries;
    std::vector<CCategoryButton*> buttons;  // row buttons first, then the drop-down's
    CContainerUI* row = nullptr;
    CContainerUI* dropDown = nullptr;
    CButtonUI* moreButton = nullptr;
    CSliderUI* pageSlider = nullptr;
    CDuiString selectedName = L"CategoryButton_1";
    bool expanded = false;
    bool listBuilt = false;
    int rowCount = 0;
    int selectedPage = 0;  // the drop-down page shown when a button was last clicked
    int currentPage = 0;
    int pageStep = 1;
    bool singlePage = false;
    DropDownPaging paging;  // the slider's geometry, once it exists
};
