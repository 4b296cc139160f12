// A minimal HTTP/1.1 server: enough for the tunnelling client, the picture downloader
// and the tests, and nothing more.
#include "Http.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

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

// Value of a header (case-insensitive name) in the raw header block, or "".
std::string HeaderValue(const std::string& head, const char* name) {
    size_t nameLen = strlen(name);
    size_t pos = head.find("\r\n");
    while (pos != std::string::npos && pos + 2 < head.size()) {
        size_t lineStart = pos + 2;
        size_t lineEnd = head.find("\r\n", lineStart);
        if (lineEnd == std::string::npos) lineEnd = head.size();
        std::string line = head.substr(lineStart, lineEnd - lineStart);
        if (line.size() > nameLen && line[nameLen] == ':' && strncasecmp(line.c_str(), name, nameLen) == 0) {
            size_t v = nameLen + 1;
            while (v < line.size() && (line[v] == ' ' || line[v] == '\t')) v++;
            return line.substr(v);
        }
        pos = lineEnd;
    }
    return "";
}

// Reads one request. False when the peer went away or sent something unreadable.
bool ReadRequest(int fd, HttpRequest* req, int* errorStatus) {
    std::string data;
    char buf[8192];
    size_t headEnd;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        if (data.size() > kMaxHeaderBytes) {
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
    if (sp1 == std::string::npos || sp2 == std::string::npos) {
        *errorStatus = 400;
        return false;
    }
    req->method = requestLine.substr(0, sp1);
    std::string target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
    size_t q = target.find('?');
    req->path = target.substr(0, q);
    req->query = q == std::string::npos ? "" : target.substr(q + 1);

    std::string lengthText = HeaderValue(head, "Content-Length");
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
    snprintf(head, sizeof head,
             "HTTP/1.1 %d %s\r\nContent-Type: %s\r\nContent-Length: %zu\r\nConnection: close\r\n\r\n", res.status,
             StatusText(res.status), res.contentType.c_str(), res.body.size());
    std::string out = head;
    if (req.method != "HEAD") out += res.body;
    SendAll(fd, out);
}

void ServeConnection(int fd, const HttpHandler& handler) {
    HttpRequest req;
    int errorStatus = 0;
    if (ReadRequest(fd, &req, &errorStatus)) {
        HttpResponse res = handler(req);
        WriteResponse(fd, req, res);
    } else if (errorStatus != 0) {
        HttpResponse res;
        res.status = errorStatus;
        WriteResponse(fd, req, res);
    }
    shutdown(fd, SHUT_WR);
    close(fd);
}

}  // namespace

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

void ServeForever(int listenSocket, ConnectionPolicy policy, const HttpHandler& handler) {
    for (;;) {
        int fd = accept(listenSocket, nullptr, nullptr);
        if (fd < 0) continue;
        switch (policy) {
            case ConnectionPolicy::Close: close(fd); break;
            case ConnectionPolicy::Hold:
                // The socket stays open until the process ends; the kernel closes it then.
                break;
            case ConnectionPolicy::Serve: std::thread(ServeConnection, fd, std::cref(handler)).detach(); break;
        }
    }
}
