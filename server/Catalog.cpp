// Reads a catalog folder into memory once, at start-up.
#include "Catalog.h"

#include <fstream>
#include <set>
#include <sstream>

namespace {

bool ReadJsonFile(const std::string& path, Json::Value* root, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    Json::CharReaderBuilder builder;
    std::string parseErrors;
    if (!Json::parseFromStream(builder, in, root, &parseErrors)) {
        *error = path + ": " + parseErrors;
        return false;
    }
    return true;
}

std::string Text(const Json::Value& obj, const char* key) {
    const Json::Value& v = obj[key];
    return v.isString() ? v.asString() : std::string();
}

// "delivery" is optional; a value the service does not know is an error, not "plain",
// so a typo in the catalog cannot quietly turn a broken picture into a sound one.
bool ReadDelivery(const Json::Value& p, Delivery* delivery, std::string* why) {
    static const struct {
        const char* name;
        Delivery delivery;
    } kDeliveries[] = {
        {"plain", Delivery::Plain},
        {"missing", Delivery::Missing},
        {"slow", Delivery::Slow},
        {"https", Delivery::Https},
    };
    *delivery = Delivery::Plain;
    if (!p.isMember("delivery")) return true;
    const Json::Value& v = p["delivery"];
    for (const auto& d : kDeliveries)
        if (v.isString() && v.asString() == d.name) {
            *delivery = d.delivery;
            return true;
        }
    *why = v.isString() ? "unknown delivery \"" + v.asString() + "\" (plain, missing, slow or https)"
                        : std::string("\"delivery\" is not a string");
    return false;
}

bool ReadPictures(const Json::Value& list, std::set<std::string>* seenIds, CatalogCategory* category,
                  std::string* error) {
    for (const Json::Value& p : list) {
        CatalogPicture pic;
        pic.imageId = Text(p, "imageId");
        pic.file = Text(p, "file");
        pic.tags = Text(p, "tags");
        pic.imageHeight = p.isMember("imageHeight") ? p["imageHeight"] : Json::Value(96);
        pic.imageSource = p.isMember("imageSource") ? p["imageSource"] : Json::Value(1);
        pic.score = p.isMember("score") ? p["score"] : Json::Value(0.9);
        if (pic.imageId.empty() || pic.file.empty() || !seenIds->insert(pic.imageId).second) {
            *error = "category " + category->id + ": a picture without a unique imageId or a file";
            return false;
        }
        std::string why;
        if (!ReadDelivery(p, &pic.delivery, &why)) {
            *error = "category " + category->id + ", picture " + pic.imageId + ": " + why;
            return false;
        }
        category->pictures.push_back(std::move(pic));
    }
    return true;
}

}  // namespace

bool LoadCatalog(const std::string& dir, Catalog* out, std::string* error) {
    Json::Value root;
    if (!ReadJsonFile(dir + "/catalog.json", &root, error)) return false;
    if (!root["groups"].isArray()) {
        *error = "catalog.json has no \"groups\" array";
        return false;
    }
    out->dir = dir;
    out->groups.clear();
    std::set<std::string> seenIds;
    for (const Json::Value& g : root["groups"]) {
        CatalogGroup group{Text(g, "id"), Text(g, "name"), {}};
        for (const Json::Value& c : g["categories"]) {
            CatalogCategory category{Text(c, "id"), Text(c, "name"), {}};
            if (!ReadPictures(c["pictures"], &seenIds, &category, error)) return false;
            group.categories.push_back(std::move(category));
        }
        out->groups.push_back(std::move(group));
    }
    out->advert = Json::Value();
    std::string advertPath = dir + "/advert.json";
    if (std::ifstream(advertPath).good() && !ReadJsonFile(advertPath, &out->advert, error)) return false;
    return true;
}

const CatalogCategory* FindCategory(const Catalog& catalog, const std::string& id) {
    for (const CatalogGroup& g : catalog.groups)
        for (const CatalogCategory& c : g.categories)
            if (c.id == id) return &c;
    return nullptr;
}
