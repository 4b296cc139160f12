// The title band along the top of the main window: the title artwork and the minimise
// and close buttons. The main window reacts to the buttons' clicks by their names.
#pragma once
#include "uilib/UIContainer.h"
#include "uilib/UIButton.h"

class CTitleLayout : public CHorizontalLayoutUI {
public:
    CTitleLayout();
    ~CTitleLayout() override;

private:
    // Both belong to the layout's child list, which deletes them.
    CButtonUI* closeButton = nullptr;
    CButtonUI* minimiseButton = nullptr;
};
