#pragma once

#include <string>

#include <json/value.h>

// jsoncpp's conversions throw on values of the wrong kind; these read a
// value only when it has a kind that converts, and report false otherwise,
// so that a malformed document can never end the process.

// Parses as jsoncpp's reader does at its default settings (comments
// allowed; see JsonReader). Never throws: a document nested past the
// depth limit fails like any other, and a failure leaves root null.
bool ParseJson(const std::string& text, Json::Value& root);

// Text of a string, number, boolean or null (empty); false for objects and arrays.
bool JsonScalarText(const Json::Value& value, std::string& text);

// An integer as jsoncpp converts it (booleans 0 or 1, reals truncated, null 0);
// false for text, containers and numbers outside the 32-bit range.
bool JsonToInt(const Json::Value& value, int& number);

// A boolean as jsoncpp converts it (null and zero false); false for text and containers.
bool JsonToBool(const Json::Value& value, bool& flag);

// Writes as jsoncpp's stream writer does at its default settings (see JsonWriter).
std::string WriteJson(const Json::Value& root);
