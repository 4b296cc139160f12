// Type-checked reads of server JSON: JsonCpp's accessors throw on a mismatched type,
// and no reply may be able to end the process.
#include "net/ServerJson.h"

#include <cstring>
#include <memory>

bool ParseServerJson(const std::string& text, Json::Value* root) {
    *root = Json::Value();
    try {
        // Json::Reader takes the bytes as they are, so ANSI text survives unchanged.
        Json::Reader reader;
        if (reader.parse(text, *root, false)) return true;
    } catch (...) {
        // The reader throws when nesting passes its stack limit.
    }
    *root = Json::Value();
    return false;
}

const Json::Value& MemberOf(const Json::Value& obj, const char* key) {
    if (!obj.isObject()) return Json::Value::nullSingleton();
    const Json::Value* member = obj.find(key, key + std::strlen(key));
    return member ? *member : Json::Value::nullSingleton();
}

bool ReadInt(const Json::Value& value, int* out) {
    // isInt() alone also accepts a real such as 3.0: the type must be an integer type.
    bool integer = value.type() == Json::intValue || value.type() == Json::uintValue;
    if (!integer || !value.isInt()) return false;
    *out = value.asInt();
    return true;
}

int IntMember(const Json::Value& obj, const char* key, int fallback) {
    int value = fallback;
    return ReadInt(MemberOf(obj, key), &value) ? value : fallback;
}

std::string ValueToText(const Json::Value& value) {
    if (value.isString()) return value.asString();
    int number = 0;
    if (value.type() == Json::intValue && ReadInt(value, &number)) return std::to_string(number);
    return {};
}
