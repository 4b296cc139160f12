// Starting the program that lies next to the plug-in.
#pragma once

// The host's launch request: with start false nothing happens. False only when the
// program's or the broker's path cannot be found; the start itself is not reported.
bool LaunchProgram(bool start);

// True when the host process is Internet Explorer on Windows Vista or later, where a
// process started from the plug-in has to go through the input method's broker.
bool RunsInsideInternetExplorer();
