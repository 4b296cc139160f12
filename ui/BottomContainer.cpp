// The bottom bar.
#include "ui/BottomContainer.h"

CBottomContainer::CBottomContainer() {
    SetMyPos(RECT{1, 440, 699, 469});
    SetBkColor(0xFFEEF1F2);
    separatorLine = new CContainerUI;
    separatorLine->SetMyPos(RECT{0, 0, 698, 1});
    separatorLine->SetBkColor(0xFFDFE3E7);
    Add(separatorLine);
}

CBottomContainer::~CBottomContainer() = default;

void CBottomContainer::StartAdvertLoad() {}

void CBottomContainer::BuildControls() {}
