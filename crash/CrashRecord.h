// The crash report record: UTF-16LE text, no byte-order mark, lines ended by "\n",
// appended to the report file once per crash.
#pragma once
#include <windows.h>

// Appends one record for the exception. Each item goes to the file as soon as it is
// formatted, so a fault part-way leaves the items before it.
void WriteCrashRecord(HANDLE file, const EXCEPTION_POINTERS* pointers, int crashType);

// Units in the buffer that ExceptionName fills for codes outside its table.
constexpr int kExceptionNameUnits = 512;

// The name of an exception code: the fixed name for the usual codes, otherwise the
// system's message text for it (one line), or empty when the system has none.
const wchar_t* ExceptionName(DWORD code, wchar_t (&buffer)[kExceptionNameUnits]);
