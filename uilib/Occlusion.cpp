// Working out from the z-order whether a window can be seen.
#include "uilib/Occlusion.h"

#include "base/WinHandle.h"

namespace {

// A window above that takes part in covering: shown, not minimised, not see-through.
bool Covers(HWND above) {
    if (!::IsWindowVisible(above) || ::IsIconic(above)) return false;
    LONG_PTR ex = ::GetWindowLongPtrW(above, GWL_EXSTYLE);
    return !(ex & (WS_EX_LAYERED | WS_EX_TRANSPARENT));
}

}  // namespace

bool IsWindowUnseen(HWND hwnd) {
    if (!hwnd || !::IsWindowVisible(hwnd) || ::IsIconic(hwnd)) return true;
    RECT own;
    if (!::GetWindowRect(hwnd, &own)) return false;
    GdiObjectHandle left(::CreateRectRgnIndirect(&own));
    if (!left) return false;
    for (HWND above = ::GetWindow(hwnd, GW_HWNDPREV); above; above = ::GetWindow(above, GW_HWNDPREV)) {
        RECT rc;
        if (!Covers(above) || !::GetWindowRect(above, &rc)) continue;
        GdiObjectHandle cover(::CreateRectRgnIndirect(&rc));
        if (!cover) return false;
        if (::CombineRgn(static_cast<HRGN>(left.Get()), static_cast<HRGN>(left.Get()), static_cast<HRGN>(cover.Get()),
                         RGN_DIFF) == NULLREGION) {
            return true;
        }
    }
    return false;
}
