// The program's own window messages. Workers hand results to the UI thread by posting
// one of these with small integers (or a window handle) only, never a pointer, so the
// receiver has nothing to free and a message to a window that is gone costs nothing.
#pragma once
#include <windows.h>

enum : UINT {
    // Download worker -> main window; lParam: tile group 0, 1 or 2 (one grid row).
    UM_TILE_GROUP_READY = WM_USER + 1,
    // Search bar -> main window: unselect the categories and close the drop-down.
    UM_SEARCH_STARTED = WM_USER + 2,
    // Grid scroll bar -> main window: close the category drop-down.
    UM_COLLAPSE_CATEGORIES = WM_USER + 3,
    // Grid request worker -> main window; lParam: 1 new list, 0 records appended, -1 failure.
    UM_PICTURES_ARRIVED = WM_USER + 4,
    // Advertisement worker -> main window: the bottom bar may build its controls.
    UM_ADVERT_READY = WM_USER + 5,
    // Category-list worker -> main window: the category reply text has been stored.
    UM_CATEGORIES_ARRIVED = WM_USER + 6,
    // Advertisement window -> main window; lParam: its handle when opened, 0 when closed.
    UM_ADVERT_WINDOW = WM_USER + 7,
    // Main window -> advertisement window: the user clicked the disabled main window.
    UM_ADVERT_FLASH = WM_USER + 8,
    // Flash thread -> advertisement window; lParam: 1 white border, 0 grey border.
    UM_ADVERT_BORDER = WM_USER + 9,
};
