// One picker per desktop: a second start hands over to the window that is already there.
#pragma once

// When a main window of the program exists already, brings it to the front (restoring
// it if minimised) and returns true; the caller then ends at once.
bool HandOverToRunningInstance();
