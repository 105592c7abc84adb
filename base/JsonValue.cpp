#include "base/JsonValue.h"

#include <climits>

#include "base/JsonReader.h"
#include "base/JsonWriter.h"

bool ParseJson(const std::string& text, Json::Value& root)
{
    bool parsed = JsonReader::Parse(text.data(), text.data() + text.size(), root);
    if (!parsed) root = Json::Value();
    return parsed;
}

bool JsonScalarText(const Json::Value& value, std::string& text)
{
    if (value.isObject() || value.isArray()) return false;
    text = value.asString();
    return true;
}

bool JsonToInt(const Json::Value& value, int& number)
{
    if (value.isNull()) {
        number = 0;
        return true;
    }
    if (value.isBool()) {
        number = value.asBool() ? 1 : 0;
        return true;
    }
    if (value.isInt()) {
        number = value.asInt();
        return true;
    }
    if (value.type() == Json::realValue) {
        double real = value.asDouble();
        if (real > INT_MIN - 1.0 && real < INT_MAX + 1.0) {
            number = static_cast<int>(real);
            return true;
        }
    }
    return false;
}

bool JsonToBool(const Json::Value& value, bool& flag)
{
    if (value.isNull() || value.isBool() || value.isNumeric()) {
        flag = value.asBool();
        return true;
    }
    return false;
}

std::string WriteJson(const Json::Value& root)
{
    return JsonWriter::Write(root);
}
