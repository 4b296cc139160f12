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

// Downloads url (http:// or https://) to path. The body goes into a file beside path and
// takes path's name only once the whole body of a 2xx answer has arrived (every byte the
// server announced, within the deadline). True only then. On failure nothing is left at
// path that was not there before, and nothing beside it. Redirects and proxies follow
// the system settings.
bool DownloadToFile(const std::wstring& url, const std::wstring& path);
