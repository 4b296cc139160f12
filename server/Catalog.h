// The content the service hands out: category groups, their categories and pictures,
// and the advertisement configuration, read from a catalog folder:
//   catalog.json  groups -> categories -> pictures (see server/catalog/README.md)
//   advert.json   the advertisement reply, "{base}" standing for the service's address
//   pics/, advert/  the files served by plain GET
#pragma once
#include <json/json.h>

#include <string>
#include <vector>

// How the service hands a picture out: the URL it puts in the lists, and what that URL gives.
enum class Delivery {
    Plain,    // {service}/pics/FILE
    Missing,  // {service}/gone/IMAGEID, always 404: the picture never arrives
    Slow,     // {service}/slow/FILE, the file after a delay (--slow-ms)
    Https,    // https://127.0.0.1:PORT/pics/FILE on the plain-HTTP port: works only over http://
};

struct CatalogPicture {
    std::string imageId;  // plain file name, unique in the catalog
    std::string file;     // file under pics/, may be shared by several pictures
    Delivery delivery = Delivery::Plain;
    std::string tags;
    Json::Value imageHeight;
    Json::Value imageSource;
    Json::Value score;
};

struct CatalogCategory {
    std::string id;
    std::string name;
    std::vector<CatalogPicture> pictures;
};

struct CatalogGroup {
    std::string id;
    std::string name;
    std::vector<CatalogCategory> categories;
};

struct Catalog {
    std::string dir;
    std::vector<CatalogGroup> groups;
    Json::Value advert;  // the advertisement reply as stored; null when advert.json is absent
};

// False (with a reason) when catalog.json is missing or malformed.
bool LoadCatalog(const std::string& dir, Catalog* out, std::string* error);
const CatalogCategory* FindCategory(const Catalog& catalog, const std::string& id);
