// zindle-devserver: the local stand-in for the tunnelling endpoint and the content
// service. Listens on 127.0.0.1 and answers:
//   GET or POST /q      a sealed k/v/u/g body; the inner URL's path picks the reply:
//                       /allname, /sublist?subid=&page=, /query?key=&page=, /pc/adv,
//                       /pv.gif (a statistics ping, appended to the pings file)
//   GET /pics/NAME      the catalog's pictures; GET /advert/NAME its advertisement files
//   GET /slow/NAME      the same file as /pics/NAME, after --slow-ms (default 3000 ms);
//                       the wait holds up only that connection
//   GET /gone/ID        always 404: where a "missing" picture points
// Everything else is 404; an envelope that does not open is 400, and so is a connection
// whose first bytes cannot begin a request line (a TLS handshake on this plain port).
// A picture's "delivery" in catalog.json picks its URL: plain {service}/pics/FILE,
// missing {service}/gone/IMAGEID, slow {service}/slow/FILE, https
// https://127.0.0.1:PORT/pics/FILE (which works only when the client falls back to http).
//
// Faults (--fault MODE, or at run time the first line of --fault-file, read anew for
// every connection; an absent or blank file leaves --fault in force, an unknown name
// counts as "none"). "refuse" and "stall" act on the connection before anything is read,
// so they hit pictures as well as /q: the network is down. The others change only the
// replies to /q: "garbage", "wrongkey", "truncated", "huge-length", "no-data" each spoil
// one layer of the envelope; "trickle" sends the sound reply's headers at once and its
// body one byte every --trickle-ms (default 2000 ms); "empty-pages" answers every
// category page with totalCount 1000 and no pictures and every search page with no
// pictures and endFlag 0, while the category list, advertisement and pings stay sound.
//
// The request log (--requests FILE) gets one line per request to /q, flushed at once,
// fields separated by a tab:
//   METHOD  TARGET  VERSION  USER-AGENT  HEADER-NAMES  INNER-PATH
// e.g. "POST\t/q\tHTTP/1.1\tZindle/1.0\tHost,User-Agent,Content-Length\t/sublist".
// TARGET is the request line's target as sent (query included), HEADER-NAMES the header
// names as sent, in order, comma separated, INNER-PATH the path of the sealed URL
// ("/pv.gif"). A field that is absent or empty (no User-Agent, an envelope that does not
// open) is "-"; tabs and line breaks inside a field become spaces.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>

#include "Catalog.h"
#include "Envelope.h"
#include "Faults.h"
#include "Http.h"
#include "Routes.h"

namespace {

std::mutex pingsLock, requestsLock;

struct Options {
    int port = -1;
    std::string keyPath = ZINDLE_DEVKEY_PRIVATE;
    std::string catalogDir = ZINDLE_SAMPLE_CATALOG;
    std::string pingsPath;
    std::string requestsPath;
    std::string faultFile;
    FaultMode fault = FaultMode::None;
    int slowMs = 3000;
    int trickleMs = 2000;
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
            "                        [--requests FILE] [--fault MODE] [--fault-file FILE]\n"
            "                        [--slow-ms N] [--trickle-ms N]\n"
            "  --port 0 picks a free port; the first line on stdout names the address.\n"
            "  --fault MODE: none, refuse, stall, garbage, wrongkey, truncated, huge-length,\n"
            "      no-data, trickle or empty-pages. refuse and stall act before a request is\n"
            "      read, so pictures fail too; the others change only the replies to /q.\n"
            "  --fault-file FILE: read for every new connection; its first line names the mode\n"
            "      (an unknown name counts as none); absent or blank, --fault applies.\n"
            "  --requests FILE: one tab-separated line per request to /q: method, target,\n"
            "      version, User-Agent, header names (comma separated), inner path.\n"
            "  --slow-ms N: the wait before a /slow/ picture (3000).\n"
            "  --trickle-ms N: the gap between body bytes under trickle (2000, at least 1).\n");
}

bool ParseMilliseconds(const std::string& value, int* ms) {
    if (value.empty() || value.size() > 7 || value.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *ms = atoi(value.c_str());
    return true;
}

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        bool ok = true;
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
        else if (arg == "--requests")
            o->requestsPath = value;
        else if (arg == "--fault-file")
            o->faultFile = value;
        else if (arg == "--fault")
            ok = ParseFaultMode(value, &o->fault);
        else if (arg == "--slow-ms")
            ok = ParseMilliseconds(value, &o->slowMs);
        else if (arg == "--trickle-ms")
            ok = ParseMilliseconds(value, &o->trickleMs) && o->trickleMs > 0;
        else
            ok = false;
        if (!ok) return false;
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

// A field of the request log: never empty, never a tab or a line break.
std::string LogField(std::string text) {
    if (text.empty()) return "-";
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

// Written before the reply goes out, so a test that has its answer finds the line.
void RecordRequest(const std::string& path, const HttpRequest& req, const std::string& innerPath) {
    if (path.empty()) return;
    std::string names;
    for (const auto& h : req.headers) names += (names.empty() ? "" : ",") + h.first;
    std::string line = LogField(req.method) + '\t' + LogField(req.target) + '\t' + LogField(req.version) + '\t' +
                       LogField(req.Header("User-Agent")) + '\t' + LogField(names) + '\t' + LogField(innerPath);
    std::lock_guard<std::mutex> lock(requestsLock);
    std::ofstream(path, std::ios::app | std::ios::binary) << line << '\n';
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

// GET /pics/NAME, /slow/NAME and /advert/NAME: the catalog's files, by plain name only.
// Anything else, /gone/ID included, is 404.
HttpResponse ServeFile(const Service& s, const HttpRequest& req) {
    static const struct {
        const char* prefix;
        const char* folder;
        bool slow;
    } kRoutes[] = {{"/pics/", "/pics/", false}, {"/slow/", "/pics/", true}, {"/advert/", "/advert/", false}};
    HttpResponse res;
    res.status = 404;
    for (const auto& route : kRoutes) {
        size_t n = strlen(route.prefix);
        if (req.path.compare(0, n, route.prefix) != 0) continue;
        // Each connection has its own thread, so the wait holds up no one else.
        if (route.slow) std::this_thread::sleep_for(std::chrono::milliseconds(s.options.slowMs));
        std::string name = req.path.substr(n);
        if (!IsPlainFileName(name)) break;
        std::ifstream in(s.catalog.dir + route.folder + name, std::ios::binary);
        if (!in) break;
        res.status = 200;
        res.contentType = ContentTypeOf(name);
        res.body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        break;
    }
    return res;
}

// *innerPath: the sealed URL's path, "" when the envelope does not open.
HttpResponse ServeTunnel(const Service& s, FaultMode mode, const HttpRequest& req, std::string* innerPath) {
    HttpResponse res;
    OpenedRequest opened;
    if (!OpenRequest(s.key.get(), req.body, &opened)) {
        fprintf(stderr, "  envelope did not open\n");
        res.status = 400;
        return res;
    }
    std::string path = UrlPath(opened.base);
    *innerPath = path;
    std::string url = opened.base + (opened.query.empty() ? "" : "?" + opened.query);
    fprintf(stderr, "  inner %s\n", url.c_str());
    std::string json;
    if (path == "/pv.gif") {
        RecordPing(s.options.pingsPath, url);
        json = "{\"status\":0}";
    } else if (!AnswerContent(s.catalog, s.serviceUrl, path, opened.query, &json, mode == FaultMode::EmptyPages)) {
        res.status = 404;
        return res;
    }
    res.body = SealWithFault(mode, json, opened.keys);
    // Replies say they may be kept an hour, as a careless server or proxy would: a
    // client that does not bypass its cache gets an old reply (sealed under other keys)
    // for a new request of the same "/q".
    res.extraHeaders = "Cache-Control: public, max-age=3600\r\n";
    if (mode == FaultMode::Trickle) res.byteGapMs = s.options.trickleMs;
    return res;
}

HttpResponse Handle(const Service& s, FaultMode mode, const HttpRequest& req) {
    fprintf(stderr, "%s %s (%zu bytes)\n", req.method.c_str(), req.path.c_str(), req.body.size());
    if (req.path == "/q") {
        HttpResponse res;
        std::string innerPath;
        if (req.method == "GET" || req.method == "POST")
            res = ServeTunnel(s, mode, req, &innerPath);
        else
            res.status = 405;
        RecordRequest(s.options.requestsPath, req, innerPath);
        return res;
    }
    if (req.method == "GET" || req.method == "HEAD") return ServeFile(s, req);
    HttpResponse res;
    res.status = 405;
    return res;
}

// The fault mode for a connection arriving now. Called on the accepting thread only.
FaultMode CurrentFault(const Options& o) {
    if (o.faultFile.empty()) return o.fault;
    static std::string lastNamed = "";
    std::string named;
    bool known = true;
    FaultMode mode = ReadFaultFile(o.faultFile, o.fault, &named, &known);
    if (named != lastNamed) {
        if (!known)
            fprintf(stderr, "zindle-devserver: unknown fault \"%s\" in %s, serving as none\n", named.c_str(),
                    o.faultFile.c_str());
        else
            fprintf(stderr, "fault file: %s\n", named.empty() ? "(blank, --fault applies)" : named.c_str());
        lastNamed = named;
    }
    return mode;
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
    ServeForever(listener, [&s] {
        FaultMode mode = CurrentFault(s.options);
        ConnectionPlan plan;
        plan.policy = PolicyFor(mode);
        plan.handler = [&s, mode](const HttpRequest& req) { return Handle(s, mode, req); };
        return plan;
    });
}
