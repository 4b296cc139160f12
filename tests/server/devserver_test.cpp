// The local content service as a client sees it: the real binary on a free loopback port,
// requests sealed and replies opened by a client written here on OpenSSL and zlib alone,
// so that the service's own envelope code is checked against an independent one.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <json/json.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Catalog.h"
#include "Envelope.h"
#include "Routes.h"

namespace {

constexpr uint32_t kLengthCap = 64u << 20;
const char kContent[] = "http://content.zindle.test";

// ---- The independent client --------------------------------------------------------

struct Keys {
    std::string key = std::string(32, '\0');
    std::string iv = std::string(16, '\0');
};

const unsigned char* Bytes(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

std::string RsaSeal(const std::string& plain) {
    FILE* f = fopen(ZINDLE_PUBKEY_FILE, "rb");
    if (!f) return "";
    EVP_PKEY* key = PEM_read_PUBKEY(f, nullptr, nullptr, nullptr);
    fclose(f);
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new(key, nullptr);
    std::string out(256, '\0');
    size_t len = out.size();
    bool ok = ctx && EVP_PKEY_encrypt_init(ctx) > 0 && EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING) > 0 &&
              EVP_PKEY_encrypt(ctx, reinterpret_cast<unsigned char*>(&out[0]), &len, Bytes(plain), plain.size()) > 0;
    EVP_PKEY_CTX_free(ctx);
    EVP_PKEY_free(key);
    out.resize(ok ? len : 0);
    return out;
}

// AES-256-CBC with PKCS #7 padding; false when decryption meets bad padding.
bool Aes(bool encrypt, const std::string& in, const Keys& k, std::string* out) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    out->assign(in.size() + 32, '\0');
    int n = 0, tail = 0;
    auto dst = reinterpret_cast<unsigned char*>(&(*out)[0]);
    bool ok = EVP_CipherInit_ex(ctx, EVP_aes_256_cbc(), nullptr, Bytes(k.key), Bytes(k.iv), encrypt) == 1 &&
              EVP_CipherUpdate(ctx, dst, &n, Bytes(in), static_cast<int>(in.size())) == 1 &&
              EVP_CipherFinal_ex(ctx, dst + n, &tail) == 1;
    EVP_CIPHER_CTX_free(ctx);
    out->resize(ok ? static_cast<size_t>(n + tail) : 0);
    return ok;
}

std::string ToBase64(const std::string& bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&out[0]), Bytes(bytes), static_cast<int>(bytes.size()));
    out.resize(static_cast<size_t>(n));
    return out;
}

// Strict: only the alphabet, whole groups of four, padding at the end.
bool FromBase64(const std::string& text, std::string* out) {
    if (text.empty() || text.size() % 4 != 0) return false;
    out->assign(text.size() / 4 * 3 + 1, '\0');
    int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(&(*out)[0]), Bytes(text), static_cast<int>(text.size()));
    if (n < 0) return false;
    size_t pad = text.size() - text.find_last_not_of('=') - 1;
    out->resize(static_cast<size_t>(n) - pad);
    return true;
}

std::string Deflate(const std::string& in) {
    z_stream zs{};
    deflateInit2(&zs, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, in.size()), '\0');
    zs.next_in = const_cast<Bytef*>(Bytes(in));
    zs.avail_in = static_cast<uInt>(in.size());
    zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

// Inflates at most `limit` bytes; `complete` tells whether the stream reached its end.
std::string Inflate(const std::string& in, size_t limit, bool* complete) {
    z_stream zs{};
    inflateInit2(&zs, -15);
    std::string out(limit, '\0');
    zs.next_in = const_cast<Bytef*>(Bytes(in));
    zs.avail_in = static_cast<uInt>(in.size());
    zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
    zs.avail_out = static_cast<uInt>(out.size());
    *complete = inflate(&zs, Z_FINISH) == Z_STREAM_END;
    out.resize(zs.total_out);
    inflateEnd(&zs);
    return out;
}

std::string SealBody(const Keys& k, const std::string& url) {
    size_t q = url.find('?');
    std::string base = url.substr(0, q), query = q == std::string::npos ? "" : url.substr(q + 1);
    auto sealText = [&](const std::string& text) {
        std::string cipher;
        Aes(true, Deflate(text), k, &cipher);
        return ToBase64(cipher);
    };
    std::string body = "k=" + ToBase64(RsaSeal(k.key)) + "&v=" + ToBase64(RsaSeal(k.iv)) + "&u=" + sealText(base);
    if (!query.empty()) body += "&g=" + sealText(query);
    return body;
}

// Where opening a reply stopped; Opened means the text is the whole reply.
enum class Outcome { Opened, NoReply, NotBase64, BadPadding, LengthOverCap, ShortStream };

struct Reply {
    Outcome outcome = Outcome::NoReply;
    uint32_t length = 0;
    std::string text;
};

Reply OpenReply(const Keys& k, const std::string& body) {
    Reply r;
    std::string cipher, frame;
    if (body.empty()) return r;
    r.outcome = Outcome::NotBase64;
    if (!FromBase64(body, &cipher)) return r;
    r.outcome = Outcome::BadPadding;
    if (!Aes(false, cipher, k, &frame) || frame.size() < 4) return r;
    r.length = (uint32_t(uint8_t(frame[0])) << 24) | (uint32_t(uint8_t(frame[1])) << 16) |
               (uint32_t(uint8_t(frame[2])) << 8) | uint8_t(frame[3]);
    r.outcome = Outcome::LengthOverCap;
    if (r.length > kLengthCap) return r;
    bool complete = false;
    r.text = Inflate(frame.substr(4), r.length, &complete);
    r.outcome = complete && r.text.size() == r.length ? Outcome::Opened : Outcome::ShortStream;
    return r;
}

// ---- HTTP over a plain socket ---------------------------------------------------------

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

struct HttpResult {
    bool connected = false;
    bool closed = false;  // the service ended the connection (rather than the wait running out)
    int status = 0;       // 0: no status line arrived
    std::string head;     // status line and headers
    std::string body;
};

// A loopback connection to port, or -1.
int Connect(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Sends the bytes as they are and reads until the service closes or nothing comes for timeoutMs.
HttpResult ExchangeRaw(int port, const std::string& request, int timeoutMs = 5000) {
    HttpResult res;
    int fd = Connect(port);
    if (fd < 0) return res;
    res.connected = true;
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string raw;
    char buf[8192];
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, timeoutMs) > 0) {
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) {
            res.closed = true;
            break;
        }
        raw.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    size_t headEnd = raw.find("\r\n\r\n");
    if (raw.compare(0, 9, "HTTP/1.1 ") != 0 || headEnd == std::string::npos) return res;
    res.status = atoi(raw.c_str() + 9);
    res.head = raw.substr(0, headEnd);
    res.body = raw.substr(headEnd + 4);
    return res;
}

HttpResult Exchange(int port, const std::string& method, const std::string& path, const std::string& body,
                    int timeoutMs = 5000) {
    return ExchangeRaw(port,
                       method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " +
                           std::to_string(body.size()) + "\r\n\r\n" + body,
                       timeoutMs);
}

// The Content-Length in a reply's head; -1 when there is none.
long ContentLength(const std::string& head) {
    size_t at = head.find("\r\nContent-Length: ");
    return at == std::string::npos ? -1 : atol(head.c_str() + at + 18);
}

// "/pics/a.png" from "http://127.0.0.1:PORT/pics/a.png" (or https://...).
std::string PathOf(const std::string& url) {
    size_t slash = url.find('/', url.find("://") + 3);
    return slash == std::string::npos ? "/" : url.substr(slash);
}

// ---- The service under test ---------------------------------------------------------

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Every instance keeps a request log and watches a fault file, absent until SetFaultFile.
class Devserver {
public:
    explicit Devserver(const std::string& fault = "", const std::vector<std::string>& extra = {}) {
        char dir[] = "/tmp/devserver-test-XXXXXX";
        workDir = mkdtemp(dir);
        pingsPath = workDir + "/pings.txt";
        requestsPath = workDir + "/requests.txt";
        faultPath = workDir + "/fault.txt";
        int out[2];
        if (pipe(out) != 0) return;
        pid = fork();
        if (pid == 0) {
            dup2(out[1], 1);
            close(out[0]);
            std::vector<std::string> args = {ZINDLE_DEVSERVER_BIN, "--port",       "0",
                                             "--key",              ZINDLE_DEVKEY_PRIVATE,
                                             "--pings",            pingsPath,
                                             "--requests",         requestsPath,
                                             "--fault-file",       faultPath};
            if (!fault.empty()) args.insert(args.end(), {"--fault", fault});
            args.insert(args.end(), extra.begin(), extra.end());
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(&a[0]);
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        // The first line names the address, once the service listens.
        std::string line;
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
        close(out[0]);
        size_t colon = line.rfind(':');
        port = colon == std::string::npos ? 0 : atoi(line.c_str() + colon + 1);
        url = line;
    }
    ~Devserver() {
        Stop();
        for (const std::string& path : {pingsPath, requestsPath, faultPath, faultPath + ".new"})
            std::remove(path.c_str());
        rmdir(workDir.c_str());
    }
    // SIGTERM, then waits up to 5 s. True when the process ended in that time.
    bool Stop() {
        if (pid <= 0) return true;
        kill(pid, SIGTERM);
        for (int i = 0; i < 500; i++) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = 0;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = 0;
        return false;
    }

    // Seals url, sends it to "/q" and opens the reply.
    Reply Ask(const std::string& url, const std::string& method = "GET", int timeoutMs = 5000) {
        Keys k = FreshKeys();
        last = Exchange(port, method, "/q", SealBody(k, url), timeoutMs);
        return OpenReply(k, last.body);
    }
    static Keys FreshKeys() {
        Keys k;
        RAND_bytes(reinterpret_cast<unsigned char*>(&k.key[0]), 32);
        RAND_bytes(reinterpret_cast<unsigned char*>(&k.iv[0]), 16);
        return k;
    }
    Json::Value AskJson(const std::string& url) {
        Reply r = Ask(url);
        Json::Value root;
        EXPECT_EQ(r.outcome, Outcome::Opened) << url;
        EXPECT_TRUE(Json::Reader().parse(r.text, root)) << r.text;
        return root;
    }
    std::string Pings() { return ReadAll(pingsPath); }
    std::string Requests() { return ReadAll(requestsPath); }
    // Replaces the fault file in one step, so that no connection reads half of it.
    void SetFaultFile(const std::string& text) {
        std::ofstream(faultPath + ".new", std::ios::binary) << text;
        std::rename((faultPath + ".new").c_str(), faultPath.c_str());
    }
    void RemoveFaultFile() { std::remove(faultPath.c_str()); }

    pid_t pid = 0;
    int port = 0;
    std::string url, workDir, pingsPath, requestsPath, faultPath;
    HttpResult last;
};

std::string Identity() {
    return "h=00000001000000AB000000AB000000FF&v=pcm5.2&sdk=1.0.0.21&pv=WIN";
}

// ---- Tests -------------------------------------------------------------------------

TEST(Devserver, CategoryListHasGroupsOfNamedCategories) {
    Devserver s;
    ASSERT_GT(s.port, 0);
    Json::Value root = s.AskJson(std::string(kContent) + "/allname?" + Identity());
    ASSERT_TRUE(root["data"].isArray());
    ASSERT_GE(root["data"].size(), 2u);
    size_t categories = 0, largestGroup = 0;
    for (const Json::Value& g : root["data"]) {
        ASSERT_TRUE(g["subClassifyList"].isArray());
        largestGroup = std::max<size_t>(largestGroup, g["subClassifyList"].size());
        for (const Json::Value& c : g["subClassifyList"]) {
            EXPECT_TRUE(c["subClassifyId"].isString());
            EXPECT_TRUE(c["subClassifyName"].isString());
            categories++;
        }
    }
    // More categories than the row holds (eleven of two characters), and raw UTF-8 names.
    EXPECT_GT(largestGroup, 11u);
    EXPECT_GT(categories, 11u + 36u);
    EXPECT_EQ(root["data"][0]["subClassifyList"][0]["subClassifyName"].asString(), "开心");
}

TEST(Devserver, CategoryPagesCarryEightFieldsAndPointBackAtTheService) {
    Devserver s;
    struct Case {
        int page;
        unsigned records;
    } cases[] = {{1, kCategoryPageSize}, {4, 200 - 3 * kCategoryPageSize}, {5, 0}};
    for (const Case& c : cases) {
        Json::Value root = s.AskJson(std::string(kContent) + "/sublist?subid=101&page=" + std::to_string(c.page) +
                                     "&dpi=240&" + Identity());
        const Json::Value& data = root["data"];
        EXPECT_EQ(data["totalCount"].asInt(), 200) << "page " << c.page;
        ASSERT_TRUE(data["picList"].isArray());
        EXPECT_EQ(data["picList"].size(), c.records) << "page " << c.page;
        for (const Json::Value& p : data["picList"]) {
            for (const char* key :
                 {"imageHeight", "imageSource", "isSet", "imageUrl", "tags", "sourceDomain", "imageId", "score"})
                EXPECT_TRUE(p.isMember(key)) << key;
            EXPECT_EQ(p["imageUrl"].asString().rfind(s.url + "/pics/", 0), 0u) << p["imageUrl"].asString();
            EXPECT_EQ(p["imageId"].asString().find('/'), std::string::npos);
        }
    }
    // An unknown category is an empty one, not a failure.
    Json::Value none = s.AskJson(std::string(kContent) + "/sublist?subid=999999&page=1&dpi=240&" + Identity());
    EXPECT_EQ(none["data"]["totalCount"].asInt(), 0);
}

TEST(Devserver, SearchPagesEndWithEndFlagAndReportHits) {
    Devserver s;
    struct Case {
        const char* key;  // as the program encodes it
        int page;
        int endFlag, aimedLocal, aimedMicrosoft;
        bool someData;
    } cases[] = {
        {"%E5%BC%80%E5%BF%83", 1, 0, 1, 1, true},  // 开心: the category of 200 pictures
        {"%E5%BC%80%E5%BF%83", 5, 1, 1, 1, true},  // its fifth page of 40 is its last
        {"%E5%93%88", 1, 0, 1, 0, true},           // 哈: in tags and names, no category's name
        {"no+such+thing", 1, 1, 0, 0, false},
    };
    for (const Case& c : cases) {
        Json::Value root = s.AskJson(std::string(kContent) + "/query?key=" + c.key + "&page=" + std::to_string(c.page) +
                                     "&dpi=240&" + Identity());
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(root["data"].isArray());
        EXPECT_EQ(root["endFlag"].asInt(), c.endFlag);
        EXPECT_EQ(root["aimedLocal"].asInt(), c.aimedLocal);
        EXPECT_EQ(root["aimedMicrosoft"].asInt(), c.aimedMicrosoft);
        EXPECT_EQ(root["data"].size() > 0, c.someData);
        for (const Json::Value& p : root["data"]) {
            EXPECT_TRUE(p["yuntuUrl"].isString());
            EXPECT_FALSE(p.isMember("imageUrl"));
        }
    }
}

TEST(Devserver, AdvertConfigurationAndItsResourcesAreServed) {
    Devserver s;
    Json::Value root = s.AskJson(std::string(kContent) + "/pc/adv?" + Identity());
    const Json::Value& list = root["data"]["advList"];
    ASSERT_TRUE(list.isArray());
    ASSERT_GE(list.size(), 2u);
    EXPECT_EQ(list[0]["visible"].asInt(), 0);
    const Json::Value& shown = list[1];
    EXPECT_EQ(shown["openMode"].asInt(), 0);
    EXPECT_NE(shown["xml"].asString().find("%temp%\\"), std::string::npos);
    EXPECT_NE(shown["xml"].asString().find("AdvCloseBtn"), std::string::npos);
    // "resources" is JSON text inside a string, naming files the service serves.
    ASSERT_TRUE(shown["resources"].isString());
    Json::Value resources;
    ASSERT_TRUE(Json::Reader().parse(shown["resources"].asString(), resources));
    ASSERT_TRUE(resources.isArray());
    for (const Json::Value& r : resources) {
        std::string url = r["url"].asString();
        ASSERT_EQ(url.rfind(s.url, 0), 0u) << url;
        EXPECT_EQ(Exchange(s.port, "GET", url.substr(s.url.size()), "").status, 200) << url;
    }
}

TEST(Devserver, PicturesArePlainFilesAndNothingElseIs) {
    Devserver s;
    Json::Value page = s.AskJson(std::string(kContent) + "/sublist?subid=101&page=1&dpi=240&" + Identity());
    bool sawGif = false, sawStill = false;
    for (const Json::Value& p : page["data"]["picList"]) {
        HttpResult r = Exchange(s.port, "GET", p["imageUrl"].asString().substr(s.url.size()), "");
        ASSERT_EQ(r.status, 200) << p["imageUrl"].asString();
        sawGif = sawGif || r.body.rfind("GIF89a", 0) == 0;
        sawStill = sawStill || r.body.rfind("\x89PNG", 0) == 0 || r.body.rfind("\xFF\xD8", 0) == 0;
    }
    EXPECT_TRUE(sawGif);
    EXPECT_TRUE(sawStill);
    for (const char* path : {"/pics/../catalog.json", "/pics/", "/catalog.json", "/pics/none.png"})
        EXPECT_EQ(Exchange(s.port, "GET", path, "").status, 404) << path;
}

TEST(Devserver, EnvelopeFramingAndBadEnvelopes) {
    Devserver s;
    // POST as well as GET; no query, so no g field: the reply frame is L then the stream.
    Reply r = s.Ask(std::string(kContent) + "/allname", "POST");
    ASSERT_EQ(r.outcome, Outcome::Opened);
    EXPECT_EQ(r.length, r.text.size());
    EXPECT_EQ(s.last.body.find_first_of("\r\n "), std::string::npos);
    EXPECT_EQ(s.last.body.size() % 4, 0u);

    Keys k;
    std::string good = SealBody(k, std::string(kContent) + "/allname");
    struct Case {
        const char* what;
        std::string body;
        int status;
    } cases[] = {
        {"empty body", "", 400},
        {"no u field", good.substr(0, good.find("&u=")), 400},
        {"k not Base64", "k=%%%%" + good.substr(good.find("&v=")), 400},
        {"k under another key", "k=" + ToBase64(std::string(128, 'x')) + good.substr(good.find("&v=")), 400},
        {"unknown inner path", SealBody(k, std::string(kContent) + "/nothing?a=1"), 404},
    };
    for (const Case& c : cases) EXPECT_EQ(Exchange(s.port, "POST", "/q", c.body).status, c.status) << c.what;
}

TEST(Devserver, PingsAreRecordedInArrivalOrder) {
    Devserver s;
    std::vector<std::string> pings = {
        "http://stats.zindle.test/pv.gif?uigs_productid=zindleapp&&page_pc=1&action_pc=1&id=AB&version_pc=1.0.0.21&"
        "orvan_version_pc=",
        "http://stats.zindle.test/pv.gif?uigs_productid=zindleapp&&page_pc=2&action_pc=3&id=AB&version_pc=1.0.0.21&"
        "orvan_version_pc=&search_pc=%E5%BC%80%E5%BF%83&aimed=1&aimed=2",
    };
    std::string expected;
    for (const std::string& p : pings) {
        EXPECT_EQ(s.Ask(p, "POST").outcome, Outcome::Opened);
        expected += p + "\n";
    }
    EXPECT_EQ(s.Pings(), expected);
}

TEST(Devserver, FaultModesFailAtTheLayerTheyName) {
    struct Case {
        const char* mode;
        Outcome outcome;
    } cases[] = {
        {"refuse", Outcome::NoReply},        {"garbage", Outcome::NotBase64},         {"wrongkey", Outcome::BadPadding},
        {"truncated", Outcome::ShortStream}, {"huge-length", Outcome::LengthOverCap}, {"no-data", Outcome::Opened},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Devserver s(c.mode);
        ASSERT_GT(s.port, 0);
        Reply r = s.Ask(std::string(kContent) + "/allname?" + Identity());
        EXPECT_EQ(r.outcome, c.outcome);
        if (c.outcome == Outcome::Opened) {
            Json::Value root;
            EXPECT_TRUE(Json::Reader().parse(r.text, root));
            EXPECT_FALSE(root.isMember("data"));
        }
    }
}

TEST(Devserver, StallNeverAnswersAndStillEndsWhenKilled) {
    Devserver s("stall");
    ASSERT_GT(s.port, 0);
    Keys k;
    HttpResult r = Exchange(s.port, "GET", "/q", SealBody(k, std::string(kContent) + "/allname"), 1500);
    EXPECT_TRUE(r.connected);
    EXPECT_EQ(r.status, 0);
    // A second connection held open while the process is told to stop.
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(s.port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_TRUE(s.Stop());
    close(fd);
}

TEST(Devserver, SampleCatalogHasTheShapeTheProgramsTestsCountOn) {
    Devserver s;
    Json::Value list = s.AskJson(std::string(kContent) + "/allname?" + Identity());
    ASSERT_EQ(list["data"].size(), 3u);
    struct Group {
        const char* name;
        unsigned categories;
        const char* lastId;
    } groups[] = {{"热门", 4, "104"}, {"日常", 40, "240"}, {"节日", 6, "306"}};
    for (unsigned i = 0; i < 3; i++) {
        const Json::Value& g = list["data"][i];
        EXPECT_EQ(g["classifyName"].asString(), groups[i].name);
        ASSERT_EQ(g["subClassifyList"].size(), groups[i].categories) << groups[i].name;
        EXPECT_EQ(g["subClassifyList"][groups[i].categories - 1]["subClassifyId"].asString(), groups[i].lastId);
    }
    struct Category {
        const char* id;
        int total;
    } categories[] = {{"101", 200}, {"102", 24}, {"103", 40}, {"104", 12}, {"240", 6}};
    for (const Category& c : categories) {
        Json::Value page =
            s.AskJson(std::string(kContent) + "/sublist?subid=" + c.id + "&page=1&dpi=240&" + Identity());
        EXPECT_EQ(page["data"]["totalCount"].asInt(), c.total) << c.id;
    }
}

TEST(Devserver, DeliveryPicksEachPicturesUrlAndWhatItGives) {
    const int slowMs = 300;
    Devserver s("", {"--slow-ms", std::to_string(slowMs)});
    Json::Value page = s.AskJson(std::string(kContent) + "/sublist?subid=240&page=1&dpi=240&" + Identity());
    // 周末: every one of its pictures is a hit, and search results carry the same URLs.
    Json::Value found = s.AskJson(std::string(kContent) + "/query?key=%E5%91%A8%E6%9C%AB&page=1&dpi=240&" + Identity());
    std::map<std::string, std::string> listed, searched;
    for (const Json::Value& p : page["data"]["picList"]) listed[p["imageId"].asString()] = p["imageUrl"].asString();
    for (const Json::Value& p : found["data"]) searched[p["imageId"].asString()] = p["yuntuUrl"].asString();
    EXPECT_EQ(searched, listed);

    std::string https = "https://" + s.url.substr(strlen("http://"));
    struct Case {
        const char* imageId;
        std::string prefix;  // what the URL starts with; the rest, if any, is a file name
        bool named;          // whether a file name follows the prefix
        int status;          // of a plain-HTTP GET of the URL's path
        bool slow;
    } cases[] = {
        {"240_0001.png", s.url + "/pics/", true, 200, false},
        {"240_0002.png", s.url + "/gone/240_0002.png", false, 404, false},
        {"240_0003.gif", s.url + "/slow/", true, 200, true},
        {"240_0004.jpg", https + "/pics/", true, 200, false},
        {"240_0005.png", s.url + "/pics/", true, 200, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.imageId);
        ASSERT_EQ(listed.count(c.imageId), 1u);
        const std::string& url = listed[c.imageId];
        ASSERT_EQ(url.rfind(c.prefix, 0), 0u) << url;
        std::string name = url.substr(c.prefix.size());
        EXPECT_EQ(!name.empty(), c.named) << url;
        EXPECT_EQ(name.find('/'), std::string::npos) << url;
        Clock::time_point start = Clock::now();
        HttpResult r = Exchange(s.port, "GET", PathOf(url), "");
        EXPECT_EQ(r.status, c.status) << url;
        if (c.slow) EXPECT_GE(MsSince(start), slowMs) << url;
        if (c.named) EXPECT_EQ(r.body, Exchange(s.port, "GET", "/pics/" + name, "").body) << url;
    }
}

TEST(Devserver, SlowPicturesWaitWithoutHoldingUpOtherConnections) {
    struct Case {
        std::vector<std::string> options;
        long long delayMs;
    } cases[] = {{{}, 3000}, {{"--slow-ms", "400"}, 400}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delayMs);
        Devserver s("", c.options);
        ASSERT_GT(s.port, 0);
        Clock::time_point start = Clock::now();
        long long slowDoneMs = 0;
        HttpResult slow;
        std::thread fetch([&] {
            slow = Exchange(s.port, "GET", "/slow/smile.png", "", 10000);
            slowDoneMs = MsSince(start);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        Reply list = s.Ask(std::string(kContent) + "/allname?" + Identity());
        HttpResult picture = Exchange(s.port, "GET", "/pics/smile.png", "");
        long long othersDoneMs = MsSince(start);
        fetch.join();
        EXPECT_EQ(list.outcome, Outcome::Opened);
        EXPECT_EQ(picture.status, 200);
        EXPECT_LT(othersDoneMs, c.delayMs);
        EXPECT_EQ(slow.status, 200);
        EXPECT_EQ(slow.body, picture.body);
        EXPECT_GE(slowDoneMs, c.delayMs);
        EXPECT_LT(slowDoneMs, c.delayMs + 2000);
    }
}

// An https URL on the plain port: the handshake must fail fast, not wait for a header
// block, and the service must go on serving.
TEST(Devserver, TlsAndOtherNonHttpOpeningsAreTurnedAwayAtOnce) {
    Devserver s;
    ASSERT_GT(s.port, 0);
    // A TLS 1.2 ClientHello record's opening, then bytes no request line can hold.
    std::string hello("\x16\x03\x01\x00\xa5\x01\x00\x00\xa1\x03\x03", 11);
    hello += std::string(32, '\x5a') + std::string("\x00\x00\x02\x00\x2f\x01\x00", 7);
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"TLS ClientHello", hello},
        {"NUL bytes", std::string(8, '\0')},
        {"a method too long", std::string(40, 'A')},
        {"a space first", " GET / HTTP/1.1\r\n"},
    };
    for (const Case& c : cases) {
        Clock::time_point start = Clock::now();
        HttpResult r = ExchangeRaw(s.port, c.bytes, 3000);
        EXPECT_LT(MsSince(start), 1000) << c.what;
        EXPECT_TRUE(r.closed) << c.what;
        EXPECT_TRUE(r.status == 400 || r.status == 0) << c.what << ": " << r.status;
    }

    // A real TLS client, as a picture downloader given the https URL would be.
    int fd = Connect(s.port);
    ASSERT_GE(fd, 0);
    timeval limit{3, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
    SSL* ssl = SSL_new(ctx);
    SSL_set_fd(ssl, fd);
    Clock::time_point start = Clock::now();
    EXPECT_LE(SSL_connect(ssl), 0);
    EXPECT_LT(MsSince(start), 1000);
    SSL_free(ssl);
    SSL_CTX_free(ctx);
    close(fd);

    EXPECT_EQ(Exchange(s.port, "GET", "/pics/smile.png", "").status, 200);
    EXPECT_EQ(s.Ask(std::string(kContent) + "/allname?" + Identity()).outcome, Outcome::Opened);
}

// Read for every connection: one service, its mode changed from outside between requests.
TEST(Devserver, FaultFileSwitchesModesBetweenConnections) {
    Devserver s("wrongkey");  // --fault: it spoils /q replies only, so pictures still come
    ASSERT_GT(s.port, 0);
    struct Step {
        const char* file;  // nullptr: no file
        Outcome tunnel;
        int pictureStatus;
    } steps[] = {
        {nullptr, Outcome::BadPadding, 200},
        {"", Outcome::BadPadding, 200},
        {"refuse\n", Outcome::NoReply, 0},
        {"none\n", Outcome::Opened, 200},
        {"  refuse \r\nnone\n", Outcome::NoReply, 0},  // the first line counts, trimmed
        {" \n\t\r\n", Outcome::BadPadding, 200},       // only white space: as if empty
        {"no-such-mode", Outcome::Opened, 200},        // unknown: none
        {"stall", Outcome::NoReply, 0},
        {"none", Outcome::Opened, 200},
        {"garbage", Outcome::NotBase64, 200},
        {nullptr, Outcome::BadPadding, 200},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.file ? "\"" + std::string(step.file) + "\"" : "no file");
        if (step.file)
            s.SetFaultFile(step.file);
        else
            s.RemoveFaultFile();
        int waitMs = std::string(step.file ? step.file : "") == "stall" ? 300 : 5000;
        EXPECT_EQ(s.Ask(std::string(kContent) + "/allname?" + Identity(), "GET", waitMs).outcome, step.tunnel);
        EXPECT_EQ(Exchange(s.port, "GET", "/pics/smile.png", "", waitMs).status, step.pictureStatus);
    }
}

TEST(Devserver, TrickleSendsTheHeadersAtOnceAndTheBodyByteByByte) {
    {
        Devserver s("trickle");
        ASSERT_GT(s.port, 0);
        int fd = Connect(s.port);
        ASSERT_GE(fd, 0);
        Keys k = Devserver::FreshKeys();
        std::string body = SealBody(k, std::string(kContent) + "/allname?" + Identity());
        std::string request = "POST /q HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " +
                              std::to_string(body.size()) + "\r\n\r\n" + body;
        send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        Clock::time_point start = Clock::now();
        std::string raw;
        char buf[4096];
        pollfd p{fd, POLLIN, 0};
        // Whatever arrives within a second of asking: the headers, and a byte or so.
        while (MsSince(start) < 1000 && poll(&p, 1, static_cast<int>(1000 - MsSince(start))) > 0) {
            ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0) break;
            raw.append(buf, static_cast<size_t>(n));
        }
        close(fd);
        size_t headEnd = raw.find("\r\n\r\n");
        ASSERT_NE(headEnd, std::string::npos) << raw;
        EXPECT_EQ(raw.rfind("HTTP/1.1 200", 0), 0u);
        long length = ContentLength(raw.substr(0, headEnd));
        size_t arrived = raw.size() - headEnd - 4;
        EXPECT_GT(length, 100);  // the sealed category list, not a stub
        EXPECT_LE(arrived, 2u);
        // Pictures are not slowed down.
        start = Clock::now();
        EXPECT_EQ(Exchange(s.port, "GET", "/pics/smile.png", "").status, 200);
        EXPECT_LT(MsSince(start), 1000);
    }
    {
        // With a short gap a small reply arrives whole: the trickled bytes are the reply.
        Devserver s("trickle", {"--trickle-ms", "5"});
        ASSERT_GT(s.port, 0);
        Reply r = s.Ask("http://stats.zindle.test/pv.gif?uigs_productid=zindleapp&page_pc=1");
        EXPECT_EQ(r.outcome, Outcome::Opened);
        EXPECT_EQ(ContentLength(s.last.head), static_cast<long>(s.last.body.size()));
        EXPECT_FALSE(s.Pings().empty());
    }
}

TEST(Devserver, EmptyPagesPromiseMoreAndHoldNothing) {
    Devserver s("empty-pages");
    ASSERT_GT(s.port, 0);
    enum Kind { CategoryPage, SearchPage, CategoryList, Advert, Ping };
    struct Case {
        std::string url;
        Kind kind;
    } cases[] = {
        {"/sublist?subid=101&page=1&dpi=240&", CategoryPage},
        {"/sublist?subid=103&page=9&dpi=240&", CategoryPage},
        {"/sublist?subid=999999&page=1&dpi=240&", CategoryPage},
        {"/query?key=%E5%BC%80%E5%BF%83&page=1&dpi=240&", SearchPage},
        {"/query?key=no+such+thing&page=3&dpi=240&", SearchPage},
        {"/allname?", CategoryList},
        {"/pc/adv?", Advert},
        {"/pv.gif?uigs_productid=zindleapp&page_pc=1&", Ping},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        Json::Value root = s.AskJson(std::string(kContent) + c.url + Identity());
        switch (c.kind) {
            case CategoryPage:
                EXPECT_EQ(root["data"]["totalCount"].asInt(), 1000);
                EXPECT_TRUE(root["data"]["picList"].isArray());
                EXPECT_EQ(root["data"]["picList"].size(), 0u);
                break;
            case SearchPage:
                EXPECT_TRUE(root["data"].isArray());
                EXPECT_EQ(root["data"].size(), 0u);
                EXPECT_EQ(root["endFlag"].asInt(), 0);
                break;
            case CategoryList:
                EXPECT_EQ(root["data"].size(), 3u);
                EXPECT_EQ(root["data"][1]["subClassifyList"].size(), 40u);
                break;
            case Advert: EXPECT_EQ(root["data"]["advList"].size(), 2u); break;
            case Ping: EXPECT_EQ(root["status"].asInt(), 0); break;
        }
    }
    EXPECT_NE(s.Pings().find("/pv.gif?uigs_productid=zindleapp&page_pc=1&"), std::string::npos);
}

TEST(Devserver, RequestLogNamesEachTunnelledRequest) {
    Devserver s;
    ASSERT_GT(s.port, 0);
    Keys k = Devserver::FreshKeys();
    std::string page = SealBody(k, std::string(kContent) + "/sublist?subid=101&page=1&dpi=240&" + Identity());
    std::string ping = SealBody(k, "http://stats.zindle.test/pv.gif?uigs_productid=zindleapp&page_pc=1");
    auto length = [](const std::string& body) { return "Content-Length: " + std::to_string(body.size()) + "\r\n"; };
    struct Case {
        const char* what;
        std::string request;
        int status;
        std::string line;  // "" when the request is not one to log
    } cases[] = {
        {"a category page",
         "POST /q HTTP/1.1\r\nHost: 127.0.0.1:1\r\nUser-Agent: Zindle Test/1.0 (x; y)\r\nx-lower-case:1\r\n"
         "Content-Type: application/x-www-form-urlencoded\r\n" + length(page) + "\r\n" + page,
         200,
         "POST\t/q\tHTTP/1.1\tZindle Test/1.0 (x; y)\tHost,User-Agent,x-lower-case,Content-Type,Content-Length\t"
         "/sublist"},
        {"a ping by GET, HTTP/1.0, no agent", "GET /q?t=1 HTTP/1.0\r\n" + length(ping) + "Host: h\r\n\r\n" + ping,
         200, "GET\t/q?t=1\tHTTP/1.0\t-\tContent-Length,Host\t/pv.gif"},
        {"an envelope that does not open", "POST /q HTTP/1.1\r\nuser-agent: A\tB \r\nContent-Length: 3\r\n\r\nxyz",
         400, "POST\t/q\tHTTP/1.1\tA B\tuser-agent,Content-Length\t-"},
        {"another method", "PUT /q HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 405,
         "PUT\t/q\tHTTP/1.1\t-\tContent-Length\t-"},
        {"a picture", "GET /pics/smile.png HTTP/1.1\r\nUser-Agent: Zindle\r\n\r\n", 200, ""},
    };
    std::string expected;
    for (const Case& c : cases) {
        EXPECT_EQ(ExchangeRaw(s.port, c.request).status, c.status) << c.what;
        if (!c.line.empty()) expected += c.line + "\n";
        EXPECT_EQ(s.Requests(), expected) << c.what;
    }
}

// The catalog's "delivery": absent or known, or the catalog does not load at all.
TEST(DevserverCatalog, DeliveryValues) {
    struct Case {
        const char* member;  // the JSON text after "file": "a.png"
        bool loads;
        Delivery delivery;
    } cases[] = {
        {"", true, Delivery::Plain},
        {R"(, "delivery": "plain")", true, Delivery::Plain},
        {R"(, "delivery": "missing")", true, Delivery::Missing},
        {R"(, "delivery": "slow")", true, Delivery::Slow},
        {R"(, "delivery": "https")", true, Delivery::Https},
        {R"(, "delivery": "HTTPS")", false, Delivery::Plain},
        {R"(, "delivery": "sometimes")", false, Delivery::Plain},
        {R"(, "delivery": 2)", false, Delivery::Plain},
    };
    char dir[] = "/tmp/devserver-catalog-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string path = std::string(dir) + "/catalog.json";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        std::ofstream(path) << R"({"groups": [{"id": "1", "name": "g", "categories": [{"id": "7", "name": "c",)"
                            << R"( "pictures": [{"imageId": "7_1.png", "file": "a.png")" << c.member << "}]}]}]}";
        Catalog catalog;
        std::string error;
        ASSERT_EQ(LoadCatalog(dir, &catalog, &error), c.loads) << error;
        if (c.loads) {
            EXPECT_EQ(catalog.groups[0].categories[0].pictures[0].delivery, c.delivery);
        } else {
            EXPECT_NE(error.find("7_1.png"), std::string::npos) << error;
            EXPECT_NE(error.find("delivery"), std::string::npos) << error;
        }
    }
    std::remove(path.c_str());
    rmdir(dir);
}

// The service's decoder takes what a form decoder may have done to "+".
TEST(DevserverEnvelope, Base64DecodeRules) {
    struct Case {
        const char* text;
        bool ok;
        std::string bytes;
    } cases[] = {
        {"+/+/", true, "\xFB\xFF\xBF"},
        {" / /", true, "\xFB\xFF\xBF"},
        {"QUI=", true, "AB"},
        {"QQ==", true, "A"},
        {"Q===", false, ""},
        {"QU*I", false, ""},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(Base64Decode(c.text, &out), c.ok) << c.text;
        if (c.ok) EXPECT_EQ(out, c.bytes) << c.text;
    }
}

TEST(DevserverRoutes, QueryValuesArePercentDecoded) {
    auto params = ParseQuery("key=a+b%2F%C3%BC&&page=2&flag");
    EXPECT_EQ(params["key"], "a b/\xC3\xBC");
    EXPECT_EQ(params["page"], "2");
    EXPECT_EQ(params.count("flag"), 1u);
    EXPECT_EQ(UrlPath("http://content.zindle.test/pc/adv"), "/pc/adv");
}

}  // namespace
