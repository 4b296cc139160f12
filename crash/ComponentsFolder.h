// The process-wide components folder: where the crash reporter is looked for. The crash
// handler fills it at load time with the program's own folder (no trailing backslash);
// start-up may replace it with the "\Components" folder found in the program's path.
#pragma once

// Units in the folder's buffer, terminator included.
constexpr int kComponentsFolderUnits = 260;

// The current folder; empty when none is known. Valid until the next SetComponentsFolder.
const wchar_t* ComponentsFolder();

// Replaces the folder. A folder that does not fit the buffer is refused (false) and the
// old one kept, since a cut path would name the wrong place. Call it from start-up only,
// before any worker thread runs: the crash handler reads it without a lock.
bool SetComponentsFolder(const wchar_t* folder);
