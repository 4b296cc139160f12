// CImageBase: the container that the picture grid, its tiles and the grid scroll bar
// derive from. One wheel notch over it pages the grid by one screen page.
#pragma once
#include "uilib/UIContainer.h"

class CImageBase : public CContainerUI {
public:
    CImageBase();

    // The wheel handler: notch up pages up, notch down pages down, once each; every other
    // event passes untouched. Controls that lie over the grid and take the wheel events
    // there themselves (a tile's click layer) attach it to their own event source, so
    // that one notch pages exactly once wherever it happens.
    static bool PageGridOnWheel(void* param);
};
