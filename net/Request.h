// The one way to the server side: every content or statistics URL is sealed and sent
// through the tunnelling endpoint. Blocking; only ever called on worker threads.
#pragma once
#include <windows.h>

#include <string>

// One exchange with the tunnel ends as a failure after this long, however it goes.
constexpr DWORD kDefaultExchangeDeadlineMs = 60000;

// method is "GET" (a reply is wanted) or "POST" (statistics: the reply is ignored).
// Returns the reply text in the ANSI code page, or "" for every kind of failure.
std::string SendRequest(const char* url, const char* method);
// Splits a request URL at its first "?": base before it, query after it ("" without one).
void SplitRequestUrl(const char* url, std::string& base, std::string& query);
// The HTTP exchange with the tunnelling endpoint's "/q": the raw reply body or "".
std::string TunnelExchange(const wchar_t* method, const std::string& body);
// Tests shorten the deadline to see it end a trickling reply in seconds.
void SetExchangeDeadlineForTesting(DWORD ms);
