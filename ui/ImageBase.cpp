// The grid's shared wheel handler.
#include "ui/ImageBase.h"

#include "ui/ImageScrollBar.h"

CImageBase::CImageBase() {
    OnEvent += MakeDelegate(&CImageBase::PageGridOnWheel);
}

bool CImageBase::PageGridOnWheel(void* param) {
    auto* event = static_cast<TEventUI*>(param);
    if (event->Type != UIEVENT_SCROLLWHEEL) return true;
    switch (LOWORD(event->wParam)) {
    case SB_LINEUP:
        CImageScrollBar::Instance()->PageUp();
        break;
    case SB_LINEDOWN:
        CImageScrollBar::Instance()->PageDown();
        break;
    default:
        break;
    }
    return true;
}
