// Keyboard focus between the main window's three stops: the search edit, the category
// row and the picture grid. Tab goes forward, Shift+Tab back, round and round.
#pragma once

class CPaintManagerUI;

enum class FocusStop { Search, Categories, Grid };

// Moves the focus from `from` to the next stop (the previous one when backwards); a stop
// that cannot take it now (no category buttons yet) is passed over.
void MoveFocus(CPaintManagerUI* pm, FocusStop from, bool backwards);
// The category row's button that takes the focus: the selected one, else the first.
bool FocusCategoryRow(CPaintManagerUI* pm);
// Keys come to the window itself (not to an edit's own window) once a control of the
// library has the focus.
void TakeKeyboard(CPaintManagerUI* pm);
bool ShiftIsDown();
