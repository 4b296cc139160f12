// Installing the component's files from the input method's extension store.
#pragma once
#include <string>

// The host's install request: runs only when the command line holds "-install2", and then
// reports true whatever the copy's outcome.
bool InstallFromExtensionStore(const wchar_t* commandLine);

// The version named by the first line holding "moduleversion=" in a certificate's UTF-16
// text: the text after the line's first "=" up to a line break. Empty when there is none.
std::wstring ModuleVersionFromCertificate(const std::wstring& text);
