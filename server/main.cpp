// zindle-devserver: the local stand-in for the tunnelling endpoint and the content
// service. Listens on 127.0.0.1 and answers:
//   GET or POST /q      a sealed k/v/u/g body; the inner URL's path picks the reply:
//                       /allname, /sublist?subid=&page=, /query?key=&page=, /pc/adv,
//                       /pv.gif (a statistics ping, appended to the pings file)
//   GET /pics/NAME      the catalog's pictures; GET /advert/NAME its advertisement files
// Everything else is 404; an envelope that does not open is 400.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>

#include "Catalog.h"
#include "Envelope.h"
#include "Faults.h"
#include "Http.h"
#include "Routes.h"

namespace {

std::mutex pingsLock;

struct Options {
    int port = -1;
    std::string keyPath = ZINDLE_DEVKEY_PRIVATE;
    std::string catalogDir = ZINDLE_SAMPLE_CATALOG;
    std::string pingsPath;
    FaultMode fault = FaultMode::None;
};

struct Service {
    Options options;
    PrivateKey key;
    Catalog catalog;
    std::string serviceUrl;
};

void Usage() {
    fprintf(stderr,
            "usage: zindle-devserver --port N [--key PRIVATE.pem] [--catalog DIR] [--pings FILE]\n"
            "                        [--fault refuse|stall|garbage|wrongkey|truncated|huge-length|no-data]\n"
            "  --port 0 picks a free port; the first line on stdout names the address.\n");
}

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        if (arg == "--port")
            o->port = value.find_first_not_of("0123456789") == std::string::npos && value.size() <= 5
                          ? atoi(value.c_str())
                          : -1;
        else if (arg == "--key")
            o->keyPath = value;
        else if (arg == "--catalog")
            o->catalogDir = value;
        else if (arg == "--pings")
            o->pingsPath = value;
        else if (arg != "--fault" || !ParseFaultMode(value, &o->fault))
            return false;
    }
    return o->port >= 0 && o->port <= 65535;
}

// One line per ping, flushed at once, so a test reading the file sees every ping that
// the service has answered.
void RecordPing(const std::string& path, const std::string& url) {
    if (path.empty()) return;
    std::lock_guard<std::mutex> lock(pingsLock);
    std::ofstream(path, std::ios::app | std::ios::binary) << url << '\n';
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos;
}

const char* ContentTypeOf(const std::string& name) {
    auto endsWith = [&](const char* ext) {
        size_t n = strlen(ext);
        return name.size() >= n && name.compare(name.size() - n, n, ext) == 0;
    };
    if (endsWith(".gif")) return "image/gif";
    if (endsWith(".png")) return "image/png";
    if (endsWith(".jpg") || endsWith(".jpeg")) return "image/jpeg";
    if (endsWith(".xml")) return "text/xml";
    return "application/octet-stream";
}

// GET /pics/NAME and /advert/NAME: the catalog's files, by plain name only.
HttpResponse ServeFile(const Service& s, const HttpRequest& req) {
    HttpResponse res;
    res.status = 404;
    for (const char* folder : {"/pics/", "/advert/"}) {
        size_t n = strlen(folder);
        if (req.path.compare(0, n, folder) != 0) continue;
        std::string name = req.path.substr(n);
        if (!IsPlainFileName(name)) break;
        std::ifstream in(s.catalog.dir + folder + name, std::ios::binary);
        if (!in) break;
        res.status = 200;
        res.contentType = ContentTypeOf(name);
        res.body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return res;
}

HttpResponse ServeTunnel(const Service& s, const HttpRequest& req) {
    HttpResponse res;
    OpenedRequest opened;
    if (!OpenRequest(s.key.get(), req.body, &opened)) {
        fprintf(stderr, "  envelope did not open\n");
        res.status = 400;
        return res;
    }
    std::string path = UrlPath(opened.base);
    std::string url = opened.base + (opened.query.empty() ? "" : "?" + opened.query);
    fprintf(stderr, "  inner %s\n", url.c_str());
    std::string json;
    if (path == "/pv.gif") {
        RecordPing(s.options.pingsPath, url);
        json = "{\"status\":0}";
    } else if (!AnswerContent(s.catalog, s.serviceUrl, path, opened.query, &json)) {
        res.status = 404;
        return res;
    }
    res.body = SealWithFault(s.options.fault, json, opened.keys);
    return res;
}

HttpResponse Handle(const Service& s, const HttpRequest& req) {
    fprintf(stderr, "%s %s (%zu bytes)\n", req.method.c_str(), req.path.c_str(), req.body.size());
    if (req.path == "/q" && (req.method == "GET" || req.method == "POST")) return ServeTunnel(s, req);
    if (req.method == "GET" || req.method == "HEAD") return ServeFile(s, req);
    HttpResponse res;
    res.status = 405;
    return res;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stderr, nullptr, _IOLBF, 0);
    Service s;
    if (!ParseOptions(argc, argv, &s.options)) {
        Usage();
        return 2;
    }
    s.key = LoadPrivateKey(s.options.keyPath);
    if (!s.key) {
        fprintf(stderr, "zindle-devserver: no private key in %s\n", s.options.keyPath.c_str());
        return 1;
    }
    std::string error;
    if (!LoadCatalog(s.options.catalogDir, &s.catalog, &error)) {
        fprintf(stderr, "zindle-devserver: %s\n", error.c_str());
        return 1;
    }
    int port = 0;
    int listener = ListenLoopback(s.options.port, &port);
    if (listener < 0) {
        fprintf(stderr, "zindle-devserver: cannot listen on 127.0.0.1:%d\n", s.options.port);
        return 1;
    }
    s.serviceUrl = "http://127.0.0.1:" + std::to_string(port);
    printf("%s\n", s.serviceUrl.c_str());
    fflush(stdout);
    HttpHandler handler = [&s](const HttpRequest& req) { return Handle(s, req); };
    ServeForever(listener, PolicyFor(s.options.fault), handler);
}
