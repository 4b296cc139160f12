// Links in the bottom bar: their underlined look, and opening a web page in the user's
// browser, for the advertisement and feedback links.
#pragma once
#include <string>

// Hands url to the shell's "open" on a detached thread, so a slow browser start never
// holds the UI thread; the result is not looked at.
void OpenLinkInBrowser(const std::wstring& url);

// The link look "{u}{a}{c COLOUR}TEXT{/c}{/a}{/u}": underlined in the given colour.
std::wstring LinkMarkup(const wchar_t* colour, const std::wstring& text);
