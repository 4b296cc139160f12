// Fetching one file over HTTP(S) into the cache: pictures for the tiles and the
// advertisement's resources. Blocking; worker threads only.
#pragma once
#include <windows.h>
#include <string>

// A picture or resource larger than this is no picture of ours; its download fails.
constexpr unsigned kMaxDownloadBytes = 32u << 20;
// However slowly a server answers, one download gives up after this long, so a stalled
// or trickling transfer cannot hold its worker for ever.
constexpr DWORD kDownloadDeadlineMs = 60000;

// What the body must be for the download to count.
enum class DownloadContent {
    Picture,  // a picture file the UI can show (GIF, PNG, JPEG, BMP, TIFF, ICO)
    Any,      // any non-empty body
};

// True when the first bytes of a file are those of a picture format the UI library reads.
bool LooksLikePicture(const char* bytes, size_t count);

// Downloads url (http:// or https://) to path. The body goes into a file beside path and
// takes path's name only once the whole body of a 2xx answer has arrived (every byte the
// server announced, within the deadline). True only then. On failure nothing is left at
// path that was not there before, and nothing beside it. Redirects and proxies follow
// the system settings. A picture download also refuses a body that is no picture (a
// proxy's or portal's page answered with 200), which the cache would keep for ever.
bool DownloadToFile(const std::wstring& url, const std::wstring& path,
                    DownloadContent content = DownloadContent::Picture, DWORD deadlineMs = kDownloadDeadlineMs);
