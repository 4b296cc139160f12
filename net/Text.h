// Text conversions between UTF-8, the ANSI code page and UTF-16, and percent-encoding.
// Every conversion gives an empty string on null input or when the system conversion fails,
// and stops at the first NUL of its input.
#pragma once
#include <windows.h>
#include <string>

// Multi-byte text in codePage (0 = CP_ACP, 65001 = UTF-8) to UTF-16.
std::wstring ToWide(const char* bytes, size_t length, UINT codePage);
std::wstring ToWide(const std::string& bytes, UINT codePage = CP_ACP);
// The same, but "" when the bytes are not valid text in codePage, where ToWide puts a
// replacement character for what does not convert.
std::wstring ToWideStrict(const std::string& bytes, UINT codePage);
// UTF-16 to multi-byte text in codePage.
std::string FromWide(const wchar_t* text, UINT codePage);
std::string FromWide(const std::wstring& text, UINT codePage = CP_ACP);
std::string Utf8ToAnsi(const std::string& text);
// "" when text is not valid UTF-8 (Utf8ToAnsi would give replacement characters instead).
std::string Utf8ToAnsiStrict(const std::string& text);
std::string AnsiToUtf8(const std::string& text);
// Letters, digits and "-_.~" stay, a space becomes "+", every other byte "%XX".
std::string UrlEncode(const std::string& bytes);
