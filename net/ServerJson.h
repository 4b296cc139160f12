// Reading the content service's JSON replies without ever trusting their shape: every
// access is type-checked, and a missing or mistyped member reads as absent.
#pragma once
#include <json/json.h>

#include <string>

// Parses text (the reply as it arrived, in the ANSI code page). False on malformed or
// absurdly nested input; never throws.
bool ParseServerJson(const std::string& text, Json::Value* root);
// obj[key] when obj is an object that has it, else a null value (never throws).
const Json::Value& MemberOf(const Json::Value& obj, const char* key);
// True with *out set when value is a JSON integer that fits an int.
bool ReadInt(const Json::Value& value, int* out);
// An integer member, or fallback when it is absent or not an integer.
int IntMember(const Json::Value& obj, const char* key, int fallback);
// A signed integer becomes its decimal text, a string stays as it is; anything else
// (null, a real, a boolean, an array, an object, an integer beyond int) gives "".
std::string ValueToText(const Json::Value& value);
