// Sends a picture into the chat window that was last in front: the window is brought
// forward, the picture goes on the clipboard and a Shift+Insert key press pastes it.
#pragma once
#include <string>

// path: full path of the local picture file. True when the paste was sent; false, with
// nothing done (the clipboard untouched), when no target window is known or it has been
// closed since, and false when the clipboard could not be opened or written or the key
// press could not be injected. Runs on the UI thread and blocks it for about 150 ms.
bool PastePicture(const std::wstring& path);
