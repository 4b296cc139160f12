// The minidump of a crash, written through DbgHelp loaded at run time.
#pragma once
#include <windows.h>

// Writes a dump of this process into `file` (type 0x140: indirectly referenced memory and
// process thread data) with the exception, when there is one. Nothing when DbgHelp or
// its MiniDumpWriteDump is missing. DbgHelp stays loaded.
void WriteMinidump(HANDLE file, EXCEPTION_POINTERS* pointers);
