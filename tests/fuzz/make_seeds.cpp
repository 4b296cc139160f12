// zindle-fuzz-seeds CATALOG OUT: writes the fuzz targets' seed corpora from the local
// content service's own replies for the catalog (the same code that answers the program),
// each in the form its decoder receives it:
//   category_list, category_page, search_page, advert_config: the reply text in code page
//     936, as the channel hands it on (one in UTF-8 too, as a server might send it)
//   advert_resources: the "resources" text inside the advertisement reply
//   recent_file: recent-list files as the program writes them (UTF-8), from a page's pictures
//   reply_frame: what the AES layer gives (length + raw deflate) and that frame as Base64
#include <iconv.h>
#include <json/json.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "Catalog.h"
#include "Envelope.h"
#include "Routes.h"

namespace {

const char kServiceUrl[] = "http://127.0.0.1:18080";

// UTF-8 to code page 936; false when iconv cannot convert it whole.
bool ToCodePage936(const std::string& utf8, std::string* out) {
    iconv_t cd = iconv_open("CP936", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string in = utf8;
    std::string result(utf8.size() * 2 + 16, '\0');
    char* src = &in[0];
    size_t srcLeft = in.size();
    char* dst = &result[0];
    size_t dstLeft = result.size();
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || srcLeft != 0) return false;
    result.resize(result.size() - dstLeft);
    *out = result;
    return true;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

struct Seeds {
    std::string out;
    int written = 0;
    bool failed = false;

    void Put(const std::string& target, const std::string& name, const std::string& bytes) {
        std::string dir = out + "/" + target;
        mkdir(dir.c_str(), 0755);
        if (!WriteFile(dir + "/" + name, bytes)) {
            std::fprintf(stderr, "zindle-fuzz-seeds: cannot write %s/%s\n", dir.c_str(), name.c_str());
            failed = true;
        }
        written++;
    }
    // A JSON reply for its decoder (in 936) and, as the tunnel carries it, for the frame's.
    void Reply(const std::string& target, const std::string& name, const std::string& utf8) {
        std::string ansi;
        if (!ToCodePage936(utf8, &ansi)) {
            std::fprintf(stderr, "zindle-fuzz-seeds: %s does not convert to code page 936\n", name.c_str());
            failed = true;
            return;
        }
        Put(target, name + ".json", ansi);
        const std::string frame = ReplyFrame(static_cast<uint32_t>(utf8.size()), RawDeflate(utf8));
        Put("reply_frame", target + "-" + name + ".frame", frame);
        Put("reply_frame", target + "-" + name + ".b64", Base64Encode(frame));
    }
};

std::string Answer(const Catalog& catalog, const char* path, const std::string& query, bool emptyPages = false) {
    std::string json;
    AnswerContent(catalog, kServiceUrl, path, query, &json, emptyPages);
    return json;
}

// A recent-list file as the program writes it: StyledWriter, at most 180 entries.
std::string RecentFile(const std::string& pageUtf8, int gifAutoPlay, size_t count) {
    Json::Value page;
    Json::Reader().parse(pageUtf8, page, false);
    Json::Value root(Json::objectValue);
    Json::Value& data = root["data"] = Json::Value(Json::arrayValue);
    for (const Json::Value& p : page["data"]["picList"]) {
        if (data.size() >= count) break;
        Json::Value entry(Json::objectValue);
        entry["imageId"] = p["imageId"];
        entry["imageUrl"] = p["imageUrl"];
        data.append(entry);
    }
    root["gif_auto_play"] = gifAutoPlay;
    return Json::StyledWriter().write(root);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: zindle-fuzz-seeds CATALOG OUT\n");
        return 2;
    }
    Catalog catalog;
    std::string error;
    if (!LoadCatalog(argv[1], &catalog, &error)) {
        std::fprintf(stderr, "zindle-fuzz-seeds: %s\n", error.c_str());
        return 1;
    }
    Seeds seeds;
    seeds.out = argv[2];
    mkdir(seeds.out.c_str(), 0755);

    const std::string list = Answer(catalog, "/allname", "h=&v=pcm&sdk=1.0.0.21&pv=WIN");
    seeds.Reply("category_list", "allname", list);
    seeds.Put("category_list", "allname-utf8.json", list);

    const struct {
        const char* name;
        const char* query;
        bool emptyPages;
    } pages[] = {
        {"sublist-101-p1", "subid=101&page=1", false},   // a full page of 60 out of 200
        {"sublist-101-p4", "subid=101&page=4", false},   // the last 20
        {"sublist-103-p1", "subid=103&page=1", false},
        {"sublist-240-p1", "subid=240&page=1", false},   // missing, slow and https pictures
        {"sublist-101-p9", "subid=101&page=9", false},   // beyond the end
        {"sublist-unknown", "subid=999&page=1", false},
        {"sublist-empty-pages", "subid=101&page=2", true},
    };
    for (const auto& p : pages) seeds.Reply("category_page", p.name, Answer(catalog, "/sublist", p.query, p.emptyPages));

    const struct {
        const char* name;
        const char* query;
        bool emptyPages;
    } searches[] = {
        {"query-kaixin-p1", "key=%E5%BC%80%E5%BF%83&page=1", false},  // 开心: many hits
        {"query-kaixin-p5", "key=%E5%BC%80%E5%BF%83&page=5", false},  // its last page
        {"query-zhoumo", "key=%E5%91%A8%E6%9C%AB&page=1", false},     // 周末 names a category
        {"query-none", "key=zzzz&page=1", false},
        {"query-empty-pages", "key=%E5%BC%80&page=3", true},
    };
    for (const auto& s : searches) seeds.Reply("search_page", s.name, Answer(catalog, "/query", s.query, s.emptyPages));

    const std::string advert = Answer(catalog, "/pc/adv", "h=&v=pcm");
    seeds.Reply("advert_config", "adv", advert);
    Json::Value advertRoot;
    Json::Reader().parse(advert, advertRoot, false);
    for (const Json::Value& item : advertRoot["data"]["advList"]) {
        const Json::Value& resources = item["resources"];
        if (resources.isString()) seeds.Put("advert_resources", "adv-resources.json", resources.asString());
    }
    seeds.Put("advert_resources", "empty-list.json", "[]");

    const std::string page = Answer(catalog, "/sublist", "subid=101&page=1");
    seeds.Put("recent_file", "common-60.json", RecentFile(page, 1, 60));
    seeds.Put("recent_file", "common-3.json", RecentFile(page, 0, 3));
    seeds.Put("recent_file", "common-empty.json", RecentFile("{}", -1, 0));
    // A file whose texts are in code page 936, not UTF-8: the category names as ids.
    Json::Value named(Json::objectValue);
    Json::Value& entries = named["data"] = Json::Value(Json::arrayValue);
    for (const CatalogGroup& g : catalog.groups) {
        for (const CatalogCategory& c : g.categories) {
            if (entries.size() >= 8) break;
            Json::Value entry(Json::objectValue);
            entry["imageId"] = c.name + ".gif";
            entry["imageUrl"] = std::string(kServiceUrl) + "/pics/" + c.name + ".gif";
            entries.append(entry);
        }
    }
    named["gif_auto_play"] = 0;
    Json::StreamWriterBuilder plain;
    plain["emitUTF8"] = true;
    std::string older;
    if (ToCodePage936(Json::writeString(plain, named), &older)) seeds.Put("recent_file", "common-cp936.json", older);

    // Hostile inputs made by hand: nesting past the JSON reader's limit, for each JSON decoder.
    const std::string deep = std::string(2000, '[') + std::string(2000, ']');
    for (const char* target : {"category_list", "category_page", "search_page", "advert_config", "advert_resources",
                               "recent_file"}) {
        seeds.Put(target, "hostile-deep.json", deep);
    }
    seeds.Put("advert_config", "hostile-deep-resources.json",
              R"({"data": {"advList": [{"visible": 1, "resources": ")" + std::string(2000, '[') + R"("}]}})");

    // The frame's own edge cases: the empty text, and a text with a length one too many.
    seeds.Put("reply_frame", "zero-length.frame", ReplyFrame(0, ""));
    seeds.Put("reply_frame", "length-one-more.frame",
              ReplyFrame(static_cast<uint32_t>(list.size() + 1), RawDeflate(list)));
    // Lengths at and past the 64 MiB cap over a stream of one byte, and a bomb: 32 MiB of
    // zeros (about 32 KiB deflated) that declares 1000 bytes.
    seeds.Put("reply_frame", "hostile-cap-length.frame", ReplyFrame(64u << 20, RawDeflate("x")));
    seeds.Put("reply_frame", "hostile-largest-length.frame", ReplyFrame(0xFFFFFFFFu, RawDeflate("x")));
    seeds.Put("reply_frame", "hostile-bomb.frame", ReplyFrame(1000, RawDeflate(std::string(32u << 20, '\0'))));

    if (seeds.failed) return 1;
    std::printf("zindle-fuzz-seeds: %d files under %s\n", seeds.written, seeds.out.c_str());
    return 0;
}
