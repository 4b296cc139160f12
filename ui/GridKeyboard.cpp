// Picking with the keyboard: the grid's focus ring, arrows that go on to the next or
// previous page at the edges, PgUp/PgDn, Home/End, Enter to send, Escape to minimise,
// a typed character handed to the search edit, Tab on to the next stop.
#include "ui/ImageContainer.h"

#include <algorithm>

#include "ui/FocusCycle.h"
#include "ui/ImageScrollBar.h"
#include "ui/SearchContainer.h"
#include "uilib/UIManager.h"

namespace {
constexpr int kColumns = 6;
}  // namespace

void CImageContainer::FocusFromKeyboard() {
    SetFocus();
    TakeKeyboard(m_pManager);
}

bool CImageContainer::OnGridEvent(void* param) {
    auto* event = static_cast<TEventUI*>(param);
    switch (event->Type) {
    case UIEVENT_SETFOCUS:
        hasKeyboard = true;
        PlaceRing(0);
        break;
    case UIEVENT_KILLFOCUS:
        hasKeyboard = false;
        for (CSingleImage* tile : tiles) tile->SetRinged(false);
        break;
    case UIEVENT_KEYDOWN:
        OnKey(static_cast<UINT>(event->wParam));
        break;
    case UIEVENT_CHAR:
        OnChar(static_cast<wchar_t>(event->chKey));
        break;
    default:
        break;
    }
    return true;
}

int CImageContainer::VisibleTileCount() const {
    int n = 0;
    for (CSingleImage* tile : tiles) {
        if (tile->IsOwnVisible()) n++;
    }
    return n;
}

void CImageContainer::PlaceRing(int index) {
    int n = VisibleTileCount();
    ringIndex = n == 0 ? 0 : std::clamp(index, 0, n - 1);
    for (int i = 0; i < static_cast<int>(tiles.size()); i++) tiles[i]->SetRinged(hasKeyboard && n > 0 && i == ringIndex);
}

// At an edge of the page the ring goes on to the next or previous page, exactly as the
// scroll bar pages (the last page asks for the next batch); on the list's first or last
// page it stays.
void CImageContainer::MoveRingAcrossPage(bool forwards, int landing) {
    int before = scrollBar->CurrentPage();
    if (forwards) scrollBar->PageDown();
    else scrollBar->PageUp();
    if (scrollBar->CurrentPage() != before) PlaceRing(landing);
}

void CImageContainer::OnKey(UINT key) {
    int n = VisibleTileCount();
    int column = ringIndex % kColumns;
    switch (key) {
    case VK_RIGHT:
        if (ringIndex + 1 < n) PlaceRing(ringIndex + 1);
        else MoveRingAcrossPage(true, 0);
        break;
    case VK_LEFT:
        if (ringIndex > 0) PlaceRing(ringIndex - 1);
        else MoveRingAcrossPage(false, kTileCount - 1);
        break;
    case VK_DOWN:
        if (ringIndex + kColumns < n) PlaceRing(ringIndex + kColumns);
        else if (ringIndex / kColumns == (n - 1) / kColumns) MoveRingAcrossPage(true, column);
        else PlaceRing(n - 1);  // the row below is shorter
        break;
    case VK_UP:
        if (ringIndex >= kColumns) PlaceRing(ringIndex - kColumns);
        else MoveRingAcrossPage(false, kTileCount - kColumns + column);
        break;
    case VK_NEXT:
        scrollBar->PageDown();
        PlaceRing(ringIndex);
        break;
    case VK_PRIOR:
        scrollBar->PageUp();
        PlaceRing(ringIndex);
        break;
    case VK_HOME:
        scrollBar->ShowPage(0);
        PlaceRing(0);
        break;
    case VK_END:
        scrollBar->ShowPage(scrollBar->LastPage());
        PlaceRing(kTileCount - 1);
        break;
    case VK_RETURN:
        if (ringIndex < n) tiles[ringIndex]->Send();
        break;
    case VK_ESCAPE:
        if (m_pManager) ::SendMessageW(m_pManager->GetPaintWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case VK_TAB:
        MoveFocus(m_pManager, FocusStop::Grid, ShiftIsDown());
        break;
    default:
        break;
    }
}

// A character typed at the grid starts a search: the edit takes the focus and the text.
void CImageContainer::OnChar(wchar_t ch) {
    if (ch < 0x20 || ch == 0x7F) return;
    CSearchContainerUI::Instance()->StartTyping(ch);
}
