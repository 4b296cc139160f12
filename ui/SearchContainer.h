// CSearchContainerUI: the keyword box under the title bar: a magnifier, the edit
// "SearchEdit", the clear button "EditDeleteBtn" and the search button "SearchBtn".
// While the user is not typing, the edit shows a grey hint: "搜索表情", or the name of
// the selected category. A search hands the keyword to the grid and tells the main window
// to clear the category selection. One process-wide instance; UI thread only.
#pragma once
#include "uilib/UIButton.h"
#include "uilib/UIContainer.h"
#include "uilib/UIEdit.h"

class CSearchContainerUI : public CContainerUI {
public:
    static CSearchContainerUI* Instance();

    // A category button was selected: the recently-used category ("搜索表情", true) keeps a
    // keyword being typed; any other puts its name into the edit as the hint.
    void SetCategoryHint(const CDuiString& text, bool isRecentlyUsed);
    // Focus went to a control outside the bar: an empty edit shows the hint again.
    void RestoreHint();
    void SetVisible(bool bVisible = true) override;
    // A character typed while the grid had the focus: the edit takes both.
    void StartTyping(wchar_t ch);

    bool IsEditing() const { return editing; }
    const CDuiString& Hint() const { return hint; }

private:
    CSearchContainerUI();
    ~CSearchContainerUI() override;

    bool OnEditNotify(void* param);
    bool OnEditEvent(void* param);
    bool OnButtonNotify(void* param);
    void SubmitSearch();
    void UpdateClearButton();

    CButtonUI* searchButton = nullptr;
    CEditUI* edit = nullptr;
    CControlUI* icon = nullptr;
    // True once the user focused the edit and its hint was cleared; while false the
    // edit's text is the hint, not a keyword.
    bool editing = false;
    CDuiString hint = L"搜索表情";
    CButtonUI* clearButton = nullptr;
};
