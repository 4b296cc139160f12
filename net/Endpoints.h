// The four content requests of the content service: category list, advertisement
// configuration, one page of a category, one page of a search. Blocking; worker threads only.
#pragma once
#include <windows.h>
#include <string>

// A URL, terminator included, must fit this many bytes; a longer one is never sent.
constexpr size_t kMaxUrlBytes = 2048;

// printf-style formatting into *out. False (and *out empty) when the text would not fit
// kMaxUrlBytes: such a URL is refused whole, never cut.
bool FormatUrl(std::string* out, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// The URLs themselves ("" when too long); the Request* functions send them.
std::string CategoryListUrl();
std::string AdvertConfigUrl();
std::string CategoryPageUrl(const std::string& categoryId, int page);
std::string SearchPageUrl(const std::string& keywordUtf8, int page);

// Thread body: stores the category-list reply ("" on failure) into reply, then posts
// UM_CATEGORIES_ARRIVED (wParam 0, lParam 0) to mainWindow, which reads reply only after that.
void RequestCategoryList(std::string& reply, HWND mainWindow);
// Each returns the reply text in the ANSI code page, or "" when the request failed.
std::string RequestAdvertConfig();
std::string RequestCategoryPage(const std::string& categoryId, int page);
std::string RequestSearchPage(const std::string& keywordUtf8, int page);
