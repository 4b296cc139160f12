// The request pipeline: split the URL, seal it, post it to the tunnelling endpoint's
// "/q" and open the reply. One WinINet connection per call; nothing survives a call.
#include "net/Request.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "BuildConfig.h"
#include "base/WinHandle.h"
#include "net/Envelope.h"
#include "net/Text.h"

namespace {

// A stalled endpoint must not hold a worker for minutes (the system defaults never fire
// under Wine). These only take effect on the request handle.
constexpr DWORD kExchangeTimeoutMs = 30000;
// However the reply trickles in (a byte now and then keeps every step's time-out from
// firing), the whole exchange ends by then.
std::atomic<DWORD> gExchangeDeadlineMs{kDefaultExchangeDeadlineMs};
constexpr DWORD kReadChunk = 4095;
// A sealed reply of the largest accepted text is well below this; a body beyond it is
// hostile or broken and is dropped before it exhausts memory.
constexpr size_t kMaxReplyBody = 96u << 20;

void SetTimeouts(HINTERNET request) {
    DWORD ms = kExchangeTimeoutMs;
    InternetSetOptionW(request, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof(ms));
    InternetSetOptionW(request, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof(ms));
    InternetSetOptionW(request, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof(ms));
}

// Reads the whole reply body in chunks; each chunk counts up to its first NUL. "" when
// the exchange's deadline passes first. Each read asks only for what has arrived: a
// read of a full buffer would wait for all of it, past any deadline, when the reply
// trickles in.
std::string ReadReply(HINTERNET request, DWORD startTick) {
    std::string result;
    char buffer[kReadChunk + 1];
    for (;;) {
        if (GetTickCount() - startTick > gExchangeDeadlineMs.load()) return {};
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0) || available == 0) break;
        DWORD got = 0;
        if (!InternetReadFile(request, buffer, std::min<DWORD>(available, kReadChunk), &got) || got == 0) break;
        buffer[got] = '\0';
        result.append(buffer, std::strlen(buffer));
        if (result.size() > kMaxReplyBody) return {};
    }
    return result;
}

}  // namespace

std::string TunnelExchange(const wchar_t* method, const std::string& body) {
    DWORD startTick = GetTickCount();
    if (!method || body.size() > MAXDWORD) return {};
    InternetHandle internet(InternetOpenW(L"User-Agent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet) return {};
    InternetHandle connection(InternetConnectW(internet.Get(), build_config::kTunnelHost,
                                               build_config::kTunnelPort, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return {};
    InternetHandle request(HttpOpenRequestW(connection.Get(), method, L"/q", L"HTTP/1.1", nullptr,
                                            nullptr, INTERNET_FLAG_RELOAD, 0));
    if (!request) return {};
    SetTimeouts(request.Get());

    // The send's own result is not looked at: a failed send leaves nothing to read.
    HttpSendRequestW(request.Get(), nullptr, 0, const_cast<char*>(body.data()),
                     static_cast<DWORD>(body.size()));
    std::string reply = ReadReply(request.Get(), startTick);
    // Closed request first, then connection, then the internet handle.
    request.Reset();
    connection.Reset();
    internet.Reset();
    return reply;
}

void SetExchangeDeadlineForTesting(DWORD ms) {
    gExchangeDeadlineMs = ms;
}

void SplitRequestUrl(const char* url, std::string& base, std::string& query) {
    const char* mark = std::strchr(url, '?');
    base = mark ? std::string(url, mark) : std::string(url);
    query = mark ? std::string(mark + 1) : std::string();
}

std::string SendRequest(const char* url, const char* method) {
    if (!url || !method) return {};
    std::string base, query;
    SplitRequestUrl(url, base, query);

    RequestKeys keys;
    std::string body;
    if (!SealRequest(base, query, keys, body)) return {};

    std::string reply = TunnelExchange(ToWide(method, std::strlen(method), CP_ACP).c_str(), body);
    if (std::strcmp(method, "POST") == 0) return {};
    if (reply.empty()) return {};

    std::string text;
    if (!OpenReply(keys, reply, text)) return {};
    return Utf8ToAnsi(text);
}
