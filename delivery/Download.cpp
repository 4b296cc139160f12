// One HTTP(S) download into a file beside the target, renamed into place only when the
// whole body of a successful answer is there. URLDownloadToFileW cannot promise that: it
// reports success for a 404 and writes the error page, and a transfer cut short leaves
// a partial file, either of which a cache that trusts existing files would keep for ever.
#include "delivery/Download.h"

#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/WinHandle.h"

namespace {

constexpr DWORD kReadChunk = 16384;
constexpr size_t kHeadBytes = 16;
// Time-outs take effect on the request handle only (the system defaults never fire
// under Wine); the overall deadline bounds a transfer that trickles in below them.
constexpr DWORD kStepTimeoutMs = 20000;
constexpr wchar_t kAgent[] = L"Mozilla/5.0 (Windows NT 6.1; Trident/7.0) Zindle/1.0";

struct UrlParts {
    std::wstring host;
    std::wstring object;  // path and query
    INTERNET_PORT port = 0;
    bool secure = false;
};

bool CrackUrl(const std::wstring& url, UrlParts* parts) {
    URL_COMPONENTSW c = {};
    c.dwStructSize = sizeof(c);
    c.dwHostNameLength = 1;
    c.dwUrlPathLength = 1;
    c.dwExtraInfoLength = 1;
    if (url.empty() || !InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &c)) return false;
    if (c.nScheme != INTERNET_SCHEME_HTTP && c.nScheme != INTERNET_SCHEME_HTTPS) return false;
    if (!c.lpszHostName || c.dwHostNameLength == 0) return false;
    parts->host.assign(c.lpszHostName, c.dwHostNameLength);
    parts->object.assign(c.lpszUrlPath ? c.lpszUrlPath : L"", c.lpszUrlPath ? c.dwUrlPathLength : 0);
    if (c.lpszExtraInfo) parts->object.append(c.lpszExtraInfo, c.dwExtraInfoLength);
    if (parts->object.empty()) parts->object = L"/";
    parts->port = c.nPort;
    parts->secure = c.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

void SetStepTimeouts(HINTERNET request) {
    DWORD ms = kStepTimeoutMs;
    InternetSetOptionW(request, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof(ms));
    InternetSetOptionW(request, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof(ms));
    InternetSetOptionW(request, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof(ms));
}

bool QueryNumber(HINTERNET request, DWORD what, DWORD* value) {
    DWORD size = sizeof(*value);
    return HttpQueryInfoW(request, what | HTTP_QUERY_FLAG_NUMBER, value, &size, nullptr) != FALSE;
}

// A file of our own beside the target: unique per thread, so two rows fetching the same
// picture never write into one file.
std::wstring PartFilePath(const std::wstring& path) {
    return path + L"." + std::to_wstring(GetCurrentThreadId()) + L".part";
}

class PartFile {
public:
    explicit PartFile(std::wstring path) : path_(std::move(path)) {
        file_.Reset(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    ~PartFile() {
        file_.Reset();
        if (!kept_) DeleteFileW(path_.c_str());
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    bool IsOpen() const { return file_.IsValid(); }
    bool Write(const char* bytes, DWORD count) {
        DWORD written = 0;
        return WriteFile(file_.Get(), bytes, count, &written, nullptr) && written == count;
    }
    // Closes the file and gives it the target's name.
    bool MoveTo(const std::wstring& target) {
        if (!FlushFileBuffers(file_.Get())) return false;
        file_.Reset();
        if (MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            kept_ = true;
            return true;
        }
        // Another row may have put the same picture there first; it is the same file.
        return GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    std::wstring path_;
    KernelHandle file_;
    bool kept_ = false;
};

// Reads the body into part; false when it is empty, breaks off, overruns the limit or
// the announced length, the deadline passes, or a picture's body starts as no picture does.
bool ReceiveBody(HINTERNET request, DWORD startTick, DWORD deadlineMs, DownloadContent content, PartFile* part) {
    DWORD announced = 0;
    bool hasLength = QueryNumber(request, HTTP_QUERY_CONTENT_LENGTH, &announced);
    if (hasLength && announced > kMaxDownloadBytes) return false;
    std::vector<char> buffer(kReadChunk);
    std::string head;  // the first bytes, which tell a picture from a page
    unsigned long long total = 0;
    for (;;) {
        if (GetTickCount() - startTick > deadlineMs) return false;
        // Only what has arrived: a full-buffer read would wait past the deadline for a
        // transfer that trickles in.
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0)) return false;
        if (available == 0) break;
        DWORD got = 0;
        if (!InternetReadFile(request, buffer.data(), std::min<DWORD>(available, kReadChunk), &got)) return false;
        if (got == 0) break;
        if (head.size() < kHeadBytes) head.append(buffer.data(), std::min<size_t>(got, kHeadBytes - head.size()));
        total += got;
        if (total > kMaxDownloadBytes || (hasLength && total > announced)) return false;
        if (!part->Write(buffer.data(), got)) return false;
    }
    if (content == DownloadContent::Picture && !LooksLikePicture(head.data(), head.size())) return false;
    // An empty body is no picture, and a cached empty file would stand for it for ever.
    return total > 0 && (!hasLength || total == announced);
}

}  // namespace

bool LooksLikePicture(const char* bytes, size_t count) {
    static const struct {
        const char* magic;
        size_t size;
    } kSignatures[] = {
        {"GIF87a", 6}, {"GIF89a", 6}, {"\x89PNG\r\n\x1a\n", 8}, {"\xFF\xD8\xFF", 3}, {"BM", 2},
        {"II*\0", 4}, {"MM\0*", 4}, {"\0\0\1\0", 4},
    };
    for (const auto& s : kSignatures) {
        if (count >= s.size && memcmp(bytes, s.magic, s.size) == 0) return true;
    }
    return false;
}

bool DownloadToFile(const std::wstring& url, const std::wstring& path, DownloadContent content, DWORD deadlineMs) {
    DWORD startTick = GetTickCount();
    UrlParts parts;
    if (path.empty() || !CrackUrl(url, &parts)) return false;

    InternetHandle internet(InternetOpenW(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) return false;
    InternetHandle connection(InternetConnectW(internet.Get(), parts.host.c_str(), parts.port, nullptr,
                                               nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return false;
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                  INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP |
                  INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
    if (parts.secure) flags |= INTERNET_FLAG_SECURE;
    InternetHandle request(HttpOpenRequestW(connection.Get(), L"GET", parts.object.c_str(), L"HTTP/1.1",
                                            nullptr, nullptr, flags, 0));
    if (!request) return false;
    SetStepTimeouts(request.Get());
    if (!HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0)) return false;

    DWORD status = 0;
    if (!QueryNumber(request.Get(), HTTP_QUERY_STATUS_CODE, &status) || status < 200 || status > 299) return false;

    PartFile part(PartFilePath(path));
    if (!part.IsOpen()) return false;
    if (!ReceiveBody(request.Get(), startTick, deadlineMs, content, &part)) return false;
    return part.MoveTo(path);
}
