// Content handlers. Reply shapes follow what the program's parsers read: "data" always
// present on success, integers where the program reads integers, ids as strings.
#include "Routes.h"

#include <cstdlib>

namespace {

std::string WriteJson(const Json::Value& root) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["precision"] = 6;
    builder["emitUTF8"] = true;  // the client converts UTF-8 text; \u escapes would bypass that
    return Json::writeString(builder, root);
}

int PageNumber(const std::map<std::string, std::string>& params) {
    auto it = params.find("page");
    int page = it == params.end() ? 1 : atoi(it->second.c_str());
    return page < 1 ? 1 : page;
}

std::string PictureUrl(const std::string& serviceUrl, const CatalogPicture& pic) {
    switch (pic.delivery) {
        case Delivery::Missing: return serviceUrl + "/gone/" + pic.imageId;
        case Delivery::Slow: return serviceUrl + "/slow/" + pic.file;
        case Delivery::Https: {
            // The same port, which speaks plain HTTP only: a TLS handshake there fails, and
            // the same URL with "http://" gives the file.
            const std::string plain = "http://";
            std::string url = serviceUrl + "/pics/" + pic.file;
            return url.compare(0, plain.size(), plain) == 0 ? "https://" + url.substr(plain.size()) : url;
        }
        case Delivery::Plain: break;
    }
    return serviceUrl + "/pics/" + pic.file;
}

Json::Value CategoryList(const Catalog& catalog) {
    Json::Value data(Json::arrayValue);
    for (const CatalogGroup& g : catalog.groups) {
        Json::Value group;
        group["classifyId"] = g.id;
        group["classifyName"] = g.name;
        Json::Value list(Json::arrayValue);
        for (const CatalogCategory& c : g.categories) {
            Json::Value entry;
            entry["subClassifyId"] = c.id;
            entry["subClassifyName"] = c.name;
            list.append(entry);
        }
        group["subClassifyList"] = list;
        data.append(group);
    }
    Json::Value root;
    root["status"] = 0;
    root["data"] = data;
    return root;
}

// A category page; with emptyPages, a page that promises 1000 pictures and holds none.
Json::Value CategoryPage(const Catalog& catalog, const std::string& serviceUrl,
                         const std::map<std::string, std::string>& params, bool emptyPages) {
    auto id = params.find("subid");
    const CatalogCategory* category = FindCategory(catalog, id == params.end() ? "" : id->second);
    Json::Value picList(Json::arrayValue);
    size_t total = emptyPages ? static_cast<size_t>(kEmptyPagesTotal) : category ? category->pictures.size() : 0;
    size_t first = static_cast<size_t>(PageNumber(params) - 1) * kCategoryPageSize;
    for (size_t i = first; category && !emptyPages && i < total && i < first + kCategoryPageSize; i++) {
        const CatalogPicture& pic = category->pictures[i];
        Json::Value p;
        p["imageHeight"] = pic.imageHeight;
        p["imageSource"] = pic.imageSource;
        p["isSet"] = 0;
        p["imageUrl"] = PictureUrl(serviceUrl, pic);
        p["tags"] = pic.tags;
        p["sourceDomain"] = "127.0.0.1";
        p["imageId"] = pic.imageId;
        p["score"] = pic.score;
        picList.append(p);
    }
    Json::Value root;
    root["status"] = 0;
    root["data"]["totalCount"] = static_cast<int>(total);
    root["data"]["picList"] = picList;
    return root;
}

// A picture matches when its tags or its category's name contain the keyword. With
// emptyPages, every page is empty and yet not the last one.
Json::Value SearchPage(const Catalog& catalog, const std::string& serviceUrl,
                       const std::map<std::string, std::string>& params, bool emptyPages) {
    auto it = params.find("key");
    std::string keyword = it == params.end() ? "" : it->second;
    std::vector<const CatalogPicture*> hits;
    bool namesCategory = false;
    for (const CatalogGroup& g : catalog.groups)
        for (const CatalogCategory& c : g.categories) {
            if (keyword.empty()) continue;
            namesCategory = namesCategory || c.name == keyword;
            bool inName = c.name.find(keyword) != std::string::npos;
            for (const CatalogPicture& pic : c.pictures)
                if (inName || pic.tags.find(keyword) != std::string::npos) hits.push_back(&pic);
        }
    Json::Value data(Json::arrayValue);
    size_t first = static_cast<size_t>(PageNumber(params) - 1) * kSearchPageSize;
    for (size_t i = first; !emptyPages && i < hits.size() && i < first + kSearchPageSize; i++) {
        Json::Value p;
        p["imageHeight"] = hits[i]->imageHeight;
        p["imageSource"] = 2;
        p["tags"] = hits[i]->tags;
        p["sourceDomain"] = "127.0.0.1";
        p["imageId"] = hits[i]->imageId;
        p["yuntuUrl"] = PictureUrl(serviceUrl, *hits[i]);
        data.append(p);
    }
    Json::Value root;
    root["status"] = 0;
    root["data"] = data;
    root["aimedLocal"] = hits.empty() ? 0 : 1;
    root["aimedMicrosoft"] = namesCategory ? 1 : 0;
    root["endFlag"] = emptyPages || first + kSearchPageSize < hits.size() ? 0 : 1;
    return root;
}

void ReplaceAll(std::string* text, const std::string& from, const std::string& to) {
    for (size_t pos = text->find(from); pos != std::string::npos; pos = text->find(from, pos + to.size()))
        text->replace(pos, from.size(), to);
}

// The stored advertisement with "{base}" filled in everywhere; a "resources" list
// is sent as JSON text inside a string, the way the program expects it.
Json::Value AdvertWithBase(const Json::Value& value, const std::string& serviceUrl) {
    if (value.isString()) {
        std::string s = value.asString();
        ReplaceAll(&s, "{base}", serviceUrl);
        return s;
    }
    if (value.isArray()) {
        Json::Value out(Json::arrayValue);
        for (const Json::Value& v : value) out.append(AdvertWithBase(v, serviceUrl));
        return out;
    }
    if (!value.isObject()) return value;
    Json::Value out(Json::objectValue);
    for (const std::string& key : value.getMemberNames()) {
        Json::Value v = AdvertWithBase(value[key], serviceUrl);
        out[key] = key == "resources" && v.isArray() ? Json::Value(WriteJson(v)) : v;
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string PercentDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::map<std::string, std::string> ParseQuery(const std::string& query) {
    std::map<std::string, std::string> params;
    size_t start = 0;
    while (start < query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        std::string pair = query.substr(start, end - start);
        size_t eq = pair.find('=');
        if (!pair.empty())
            params[PercentDecode(pair.substr(0, eq))] =
                eq == std::string::npos ? "" : PercentDecode(pair.substr(eq + 1));
        start = end + 1;
    }
    return params;
}

std::string UrlPath(const std::string& base) {
    size_t scheme = base.find("://");
    if (scheme == std::string::npos) return base;
    size_t slash = base.find('/', scheme + 3);
    return slash == std::string::npos ? "/" : base.substr(slash);
}

bool AnswerContent(const Catalog& catalog, const std::string& serviceUrl, const std::string& path,
                   const std::string& query, std::string* json, bool emptyPages) {
    std::map<std::string, std::string> params = ParseQuery(query);
    if (path == "/allname") {
        *json = WriteJson(CategoryList(catalog));
    } else if (path == "/sublist") {
        *json = WriteJson(CategoryPage(catalog, serviceUrl, params, emptyPages));
    } else if (path == "/query") {
        *json = WriteJson(SearchPage(catalog, serviceUrl, params, emptyPages));
    } else if (path == "/pc/adv") {
        *json = WriteJson(catalog.advert.isNull() ? Json::Value(Json::objectValue)
                                                  : AdvertWithBase(catalog.advert, serviceUrl));
    } else {
        return false;
    }
    return true;
}
