// A minimal HTTP/1.1 server: enough for the tunnelling client, the picture downloader
// and the tests, and nothing more.
#include "Http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

constexpr size_t kMaxHeaderBytes = 16 * 1024;
constexpr size_t kMaxBodyBytes = 4 * 1024 * 1024;

bool SendAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

const char* StatusText(int status) {
    switch (status) {
        case 200: return "OK";
        case 400: return "Bad Request";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 413: return "Payload Too Large";
        default: return "Error";
    }
}

// A method is a token: letters mostly, and never a control byte such as the 0x16 that
// opens a TLS record.
bool IsTokenChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           (c != 0 && strchr("!#$%&'*+-.^_`|~", c) != nullptr);
}

// False once the bytes so far cannot be the start of "METHOD SP".
bool CanStartRequestLine(const std::string& data) {
    constexpr size_t kMaxMethodBytes = 32;
    for (size_t i = 0; i < data.size() && i <= kMaxMethodBytes; i++) {
        if (data[i] == ' ') return i > 0;
        if (!IsTokenChar(static_cast<unsigned char>(data[i]))) return false;
    }
    return data.size() <= kMaxMethodBytes;
}

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Splits the header block after the request line into (name, value) pairs.
bool ParseHeaders(const std::string& head, HttpRequest* req) {
    size_t pos = head.find("\r\n");
    while (pos != std::string::npos) {
        size_t lineStart = pos + 2;
        size_t lineEnd = head.find("\r\n", lineStart);
        size_t lineLength = lineEnd == std::string::npos ? std::string::npos : lineEnd - lineStart;
        std::string line = head.substr(lineStart, lineLength);
        size_t colon = line.find(':');
        if (colon == 0 || colon == std::string::npos) return false;
        req->headers.emplace_back(line.substr(0, colon), Trimmed(line.substr(colon + 1)));
        pos = lineEnd;
    }
    return true;
}

// Reads one request. False when the peer went away or sent something unreadable.
bool ReadRequest(int fd, HttpRequest* req, int* errorStatus) {
    std::string data;
    char buf[8192];
    size_t headEnd;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        if (data.size() > kMaxHeaderBytes || !CanStartRequestLine(data)) {
            *errorStatus = 400;
            return false;
        }
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return false;
        data.append(buf, static_cast<size_t>(n));
    }
    std::string head = data.substr(0, headEnd);
    std::string requestLine = head.substr(0, head.find("\r\n"));
    size_t sp1 = requestLine.find(' ');
    size_t sp2 = requestLine.find(' ', sp1 + 1);
    if (!CanStartRequestLine(requestLine) || sp2 == std::string::npos || !ParseHeaders(head, req)) {
        *errorStatus = 400;
        return false;
    }
    req->method = requestLine.substr(0, sp1);
    req->target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
    req->version = requestLine.substr(sp2 + 1);
    size_t q = req->target.find('?');
    req->path = req->target.substr(0, q);
    req->query = q == std::string::npos ? "" : req->target.substr(q + 1);

    std::string lengthText = req->Header("Content-Length");
    size_t length = 0;
    if (!lengthText.empty()) {
        char* end = nullptr;
        unsigned long long v = strtoull(lengthText.c_str(), &end, 10);
        if (*end != '\0' || v > kMaxBodyBytes) {
            *errorStatus = v > kMaxBodyBytes ? 413 : 400;
            return false;
        }
        length = static_cast<size_t>(v);
    }
    req->body = data.substr(headEnd + 4);
    while (req->body.size() < length) {
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return false;
        req->body.append(buf, static_cast<size_t>(n));
    }
    req->body.resize(length);
    return true;
}

void WriteResponse(int fd, const HttpRequest& req, const HttpResponse& res) {
    char head[512];
    snprintf(head, sizeof head, "HTTP/1.1 %d %s\r\nContent-Type: %s\r\nContent-Length: %zu\r\nConnection: close\r\n",
             res.status, StatusText(res.status), res.contentType.c_str(), res.body.size());
    std::string out = head + res.extraHeaders + "\r\n";
    bool withBody = req.method != "HEAD";
    if (res.byteGapMs <= 0) {
        if (withBody) out += res.body;
        SendAll(fd, out);
        return;
    }
    if (!SendAll(fd, out) || !withBody) return;
    for (size_t i = 0; i < res.body.size(); i++) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(res.byteGapMs));
        if (!SendAll(fd, res.body.substr(i, 1))) return;  // the client gave up
    }
}

void ServeConnection(int fd, const HttpHandler& handler) {
    HttpRequest req;
    int errorStatus = 0;
    if (ReadRequest(fd, &req, &errorStatus)) {
        HttpResponse res = handler(req);
        WriteResponse(fd, req, res);
    } else if (errorStatus != 0) {
        fprintf(stderr, "unreadable request: %d\n", errorStatus);
        HttpResponse res;
        res.status = errorStatus;
        WriteResponse(fd, req, res);
        // Unread bytes at close would turn the close into a reset, which may overtake the
        // answer; take what has arrived already.
        char buf[8192];
        while (recv(fd, buf, sizeof buf, MSG_DONTWAIT) > 0) {
        }
    }
    shutdown(fd, SHUT_WR);
    close(fd);
}

}  // namespace

std::string HttpRequest::Header(const std::string& name) const {
    for (const auto& h : headers)
        if (strcasecmp(h.first.c_str(), name.c_str()) == 0) return h.second;
    return "";
}

int ListenLoopback(int port, int* boundPort) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 64) != 0) {
        close(fd);
        return -1;
    }
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    *boundPort = ntohs(addr.sin_port);
    return fd;
}

void ServeForever(int listenSocket, const ConnectionPlanner& planner) {
    for (;;) {
        int fd = accept(listenSocket, nullptr, nullptr);
        if (fd < 0) continue;
        ConnectionPlan plan = planner();
        switch (plan.policy) {
            case ConnectionPolicy::Close: close(fd); break;
            case ConnectionPolicy::Hold:
                // The socket stays open until the process ends; the kernel closes it then.
                break;
            case ConnectionPolicy::Serve:
                std::thread([fd, handler = std::move(plan.handler)] { ServeConnection(fd, handler); }).detach();
                break;
        }
    }
}
