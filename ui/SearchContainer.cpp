// The search bar: its controls, the hint rules of the edit and starting a search.
#include "ui/SearchContainer.h"

#include <atomic>
#include <mutex>

#include "base/WindowMessages.h"
#include "ui/FocusCycle.h"
#include "ui/ImageContainer.h"
#include "uilib/UIManager.h"

namespace {

std::mutex searchBarInstanceLock;
std::atomic<CSearchContainerUI*> searchBarInstance{nullptr};

constexpr wchar_t kDefaultHint[] = L"搜索表情";
constexpr DWORD kBorderColor = 0xFFBEC3C9;
constexpr DWORD kFocusBorderColor = 0xFFFE839D;
constexpr DWORD kEditTextColor = 0xFF8E8E8E;
constexpr int kEditFont = 2;

CButtonUI* MakeImageButton(LPCTSTR name, RECT pos, LPCTSTR normal, LPCTSTR hot, LPCTSTR pushed) {
    auto* button = new CButtonUI;
    button->SetName(name);
    button->SetMyPos(pos);
    button->SetNormalImage(normal);
    button->SetHotImage(hot);
    button->SetPushedImage(pushed);
    return button;
}

}  // namespace

CSearchContainerUI* CSearchContainerUI::Instance() {
    CSearchContainerUI* bar = searchBarInstance.load();
    if (bar) return bar;
    std::lock_guard<std::mutex> lock(searchBarInstanceLock);
    bar = searchBarInstance.load();
    if (!bar) {
        bar = new CSearchContainerUI;
        searchBarInstance.store(bar);
    }
    return bar;
}

CSearchContainerUI::CSearchContainerUI() {
    SetMyPos(RECT{150, 33, 550, 65});
    SetBorderSize(1);
    SetBorderColor(kBorderColor);

    icon = new CControlUI;
    icon->SetMyPos(RECT{8, 8, 24, 24});
    icon->SetBkImage(L"Res\\search_icon.png");

    edit = new CEditUI;
    edit->SetName(L"SearchEdit");
    edit->SetMyPos(RECT{28, 1, 300, 31});
    edit->SetTextColor(kEditTextColor);
    edit->SetFont(kEditFont);
    edit->SetText(kDefaultHint);
    edit->OnNotify += MakeDelegate(this, &CSearchContainerUI::OnEditNotify);
    edit->OnEvent += MakeDelegate(this, &CSearchContainerUI::OnEditEvent);

    searchButton = MakeImageButton(L"SearchBtn", RECT{330, 1, 399, 31}, L"Res\\search_normal.png",
                                   L"Res\\search_hover.png", L"Res\\search_click.png");
    clearButton = MakeImageButton(L"EditDeleteBtn", RECT{300, 1, 330, 31}, L"Res\\delete_normal.png",
                                  L"Res\\delete_hover.png", L"Res\\delete_click.png");
    clearButton->SetVisible(false);
    searchButton->OnNotify += MakeDelegate(this, &CSearchContainerUI::OnButtonNotify);
    clearButton->OnNotify += MakeDelegate(this, &CSearchContainerUI::OnButtonNotify);

    Add(icon);
    Add(edit);
    Add(searchButton);
    Add(clearButton);
}

CSearchContainerUI::~CSearchContainerUI() = default;

void CSearchContainerUI::SetVisible(bool bVisible) {
    CContainerUI::SetVisible(bVisible);
    edit->SetVisible(bVisible);
}

bool CSearchContainerUI::OnEditNotify(void* param) {
    auto* msg = static_cast<TNotifyUI*>(param);
    if (msg->sType == DUI_MSGTYPE_SETFOCUS) {
        SetBorderColor(kFocusBorderColor);
        // The first focus wipes the hint; later ones keep what the user typed.
        if (!editing) {
            editing = true;
            edit->SetText(L"");
        }
    } else if (msg->sType == DUI_MSGTYPE_RETURN) {
        SubmitSearch();
    } else if (msg->sType == DUI_MSGTYPE_CTRL_A) {
        edit->SetSelAll();
    } else if (msg->sType == DUI_MSGTYPE_TEXTCHANGED) {
        UpdateClearButton();
    }
    return true;
}

// Enter in the edit: the focus goes to the search button, then the search starts. The
// key is taken here, so the edit does not also report it as "return".
bool CSearchContainerUI::OnEditEvent(void* param) {
    auto* event = static_cast<TEventUI*>(param);
    if (event->Type == UIEVENT_KEYDOWN && event->wParam == VK_TAB) {
        MoveFocus(m_pManager, FocusStop::Search, ShiftIsDown());
        return false;
    }
    if (event->Type != UIEVENT_KEYDOWN || event->wParam != VK_RETURN) return true;
    searchButton->SetFocus();
    SubmitSearch();
    return false;
}

bool CSearchContainerUI::OnButtonNotify(void* param) {
    auto* msg = static_cast<TNotifyUI*>(param);
    if (msg->sType != DUI_MSGTYPE_CLICK) return true;
    if (msg->pSender == searchButton) {
        SubmitSearch();
    } else if (msg->pSender == clearButton) {
        edit->SetFocus();
        edit->SetText(L"");
    }
    return true;
}

void CSearchContainerUI::UpdateClearButton() {
    clearButton->SetVisible(editing && !edit->GetText().IsEmpty());
}

// The keyword is the edit's text exactly as typed: no trimming, no case change.
void CSearchContainerUI::SubmitSearch() {
    // Judged before the focus moves: a first focus turns the hint into an empty text.
    bool searchable = editing && !edit->GetText().IsEmpty();
    edit->SetFocus();
    if (!searchable) return;
    edit->SetReadOnly(true);
    if (m_pManager) ::PostMessageW(m_pManager->GetPaintWindow(), UM_SEARCH_STARTED, 0, 0);
    CImageContainer::Instance()->StartSearch(edit->GetText().Str());
    edit->SetReadOnly(false);
    hint = kDefaultHint;
}

void CSearchContainerUI::StartTyping(wchar_t ch) {
    edit->SetFocus();  // a first focus wipes the hint
    const wchar_t text[2] = {ch, L'\0'};
    edit->SetReplaceSel(text);
}

void CSearchContainerUI::RestoreHint() {
    SetBorderColor(kBorderColor);
    if (edit->GetText().IsEmpty()) {
        editing = false;
        edit->SetText(hint);
    }
}

void CSearchContainerUI::SetCategoryHint(const CDuiString& text, bool isRecentlyUsed) {
    clearButton->SetVisible(false);
    hint = text;
    if (isRecentlyUsed) {
        if (!editing) edit->SetText(hint);
        return;
    }
    // Whatever was typed gives way to the category's name, which the next focus wipes.
    editing = false;
    edit->SetText(hint);
}
