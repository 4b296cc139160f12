// Builds the title band: background artwork, then the close and minimise buttons.
#include "app/TitleLayout.h"

namespace {

CButtonUI* MakeTitleButton(LPCTSTR name, RECT pos, LPCTSTR normal, LPCTSTR hot, LPCTSTR pushed) {
    auto* button = new CButtonUI;
    button->SetName(name);
    button->SetMyPos(pos);
    button->SetNormalImage(normal);
    button->SetHotImage(hot);
    button->SetPushedImage(pushed);
    return button;
}

}  // namespace

CTitleLayout::CTitleLayout() {
    SetFixedHeight(33);
    SetFixedWidth(700);
    SetBkImage(L"Res\\title.png");
    // The two buttons abut at x = 669; each leaves a pixel above and four below.
    closeButton = MakeTitleButton(L"MainUICLOSEBtn", RECT{669, 1, 699, 29}, L"Res\\Close.png",
                                  L"Res\\Close_hover.png", L"Res\\Close_click.png");
    minimiseButton = MakeTitleButton(L"MainUIMinBtn", RECT{645, 1, 669, 29}, L"Res\\Min.png",
                                     L"Res\\Min_hover.png", L"Res\\Min_click.png");
    Add(closeButton);
    Add(minimiseButton);
}

CTitleLayout::~CTitleLayout() = default;
