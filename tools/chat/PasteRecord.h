// The stand-in's record file: one UTF-8 line per event (key, paste, format, picture), so
// that a test can see what arrived.
#pragma once
#include <string>

// Starts an empty record at path; an empty path records nothing.
void StartRecord(const std::wstring& path);
void RecordLine(const std::wstring& line);
