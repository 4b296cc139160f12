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
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

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

struct HttpResult {
    bool connected = false;
    int status = 0;  // 0: no status line arrived
    std::string body;
};

HttpResult Exchange(int port, const std::string& method, const std::string& path, const std::string& body,
                    int timeoutMs = 5000) {
    HttpResult res;
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return res;
    }
    res.connected = true;
    std::string request = method + " " + path +
                          " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\n\r\n" + body;
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string raw;
    char buf[8192];
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, timeoutMs) > 0) {
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        raw.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    size_t headEnd = raw.find("\r\n\r\n");
    if (raw.compare(0, 9, "HTTP/1.1 ") != 0 || headEnd == std::string::npos) return res;
    res.status = atoi(raw.c_str() + 9);
    res.body = raw.substr(headEnd + 4);
    return res;
}

// ---- The service under test ---------------------------------------------------------

class Devserver {
public:
    explicit Devserver(const std::string& fault = "") {
        char dir[] = "/tmp/devserver-test-XXXXXX";
        workDir = mkdtemp(dir);
        pingsPath = workDir + "/pings.txt";
        int out[2];
        if (pipe(out) != 0) return;
        pid = fork();
        if (pid == 0) {
            dup2(out[1], 1);
            close(out[0]);
            std::vector<std::string> args = {ZINDLE_DEVSERVER_BIN,  "--port",  "0",      "--key",
                                             ZINDLE_DEVKEY_PRIVATE, "--pings", pingsPath};
            if (!fault.empty()) args.insert(args.end(), {"--fault", fault});
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
        std::remove(pingsPath.c_str());
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
    Reply Ask(const std::string& url, const std::string& method = "GET") {
        Keys k;
        RAND_bytes(reinterpret_cast<unsigned char*>(&k.key[0]), 32);
        RAND_bytes(reinterpret_cast<unsigned char*>(&k.iv[0]), 16);
        last = Exchange(port, method, "/q", SealBody(k, url));
        return OpenReply(k, last.body);
    }
    Json::Value AskJson(const std::string& url) {
        Reply r = Ask(url);
        Json::Value root;
        EXPECT_EQ(r.outcome, Outcome::Opened) << url;
        EXPECT_TRUE(Json::Reader().parse(r.text, root)) << r.text;
        return root;
    }
    std::string Pings() {
        std::ifstream in(pingsPath);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    pid_t pid = 0;
    int port = 0;
    std::string url, workDir, pingsPath;
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
