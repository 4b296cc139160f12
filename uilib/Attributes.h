// Parsing of attribute values as layout markup writes them ("1,2,3,4", "true",
// "file='a.png' dest='...'", name="value" lists). Internal to the library.
#pragma once
#include <windows.h>
#include <string>
#include <utility>
#include <vector>

namespace attr {

int ParseInt(const wchar_t* text);
bool ParseBool(const wchar_t* text);
// "l,t,r,b"; false unless four integers.
bool ParseRect(const wchar_t* text, RECT& rc);
// "cx,cy"; false unless two integers.
bool ParseSize(const wchar_t* text, SIZE& sz);
// A plain file name, or the file='...' part of an image description.
std::wstring ImageFileName(const wchar_t* text);
// name="value" name2='value2' ...
std::vector<std::pair<std::wstring, std::wstring>> ParseAttributeList(const std::wstring& text);

}  // namespace attr
