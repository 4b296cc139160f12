// A minimal HTTP/1.1 server on loopback: one thread per connection, one request per
// connection ("Connection: close"). It reads a body whenever Content-Length says there is
// one, whatever the method: the tunnelling client sends its form body with GET as well.
#pragma once
#include <functional>
#include <string>

struct HttpRequest {
    std::string method;
    std::string path;   // request target up to "?"
    std::string query;  // after "?", raw
    std::string body;
};

struct HttpResponse {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
};

// What the server does with a connection before reading anything from it.
enum class ConnectionPolicy {
    Serve,  // read the request and answer it
    Close,  // close at once, without a word
    Hold,   // keep the socket open and never answer
};

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

// Binds 127.0.0.1:port (0 picks a free port). Returns the listening socket, or -1.
int ListenLoopback(int port, int* boundPort);
// Accepts connections until the process ends.
void ServeForever(int listenSocket, ConnectionPolicy policy, const HttpHandler& handler);
