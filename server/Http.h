// A minimal HTTP/1.1 server on loopback: one thread per connection, one request per
// connection ("Connection: close"). It reads a body whenever Content-Length says there is
// one, whatever the method: the tunnelling client sends its form body with GET as well.
#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

struct HttpRequest {
    std::string method;
    std::string target;   // the request line's target as sent, query included
    std::string path;     // request target up to "?"
    std::string query;    // after "?", raw
    std::string version;  // "HTTP/1.1", as sent
    std::vector<std::pair<std::string, std::string>> headers;  // in arrival order, names as sent
    std::string body;

    // The first header of that name (case-insensitive); "" when there is none.
    std::string Header(const std::string& name) const;
};

struct HttpResponse {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    // 0: the body goes out with the headers. Otherwise the headers (with the whole body's
    // Content-Length) go out at once and the body one byte at a time, this many ms apart.
    int byteGapMs = 0;
    // Further header lines, each ending in "\r\n".
    std::string extraHeaders;
};

// What the server does with a connection before reading anything from it.
enum class ConnectionPolicy {
    Serve,  // read the request and answer it
    Close,  // close at once, without a word
    Hold,   // keep the socket open and never answer
};

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

// How one connection is treated; decided when it is accepted.
struct ConnectionPlan {
    ConnectionPolicy policy = ConnectionPolicy::Serve;
    HttpHandler handler;  // used under Serve
};
using ConnectionPlanner = std::function<ConnectionPlan()>;

// Binds 127.0.0.1:port (0 picks a free port). Returns the listening socket, or -1.
int ListenLoopback(int port, int* boundPort);
// Accepts connections until the process ends, asking the planner about each one as it
// arrives. A connection whose first bytes cannot start a request line (a TLS handshake,
// say) gets 400 at once rather than a wait for a header block that never comes.
void ServeForever(int listenSocket, const ConnectionPlanner& planner);
