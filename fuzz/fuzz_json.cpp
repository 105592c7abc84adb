// The program's JSON reader and writer against jsoncpp's own, on the same
// bytes: both readers accept or both refuse, what they read is the same
// value (kinds, integer and double bits, string bytes, member order), and
// both writers write that value as the same text, which reads back.
#include "base/JsonReader.h"
#include "base/JsonWriter.h"

#include <json/reader.h>
#include <json/writer.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

namespace {

bool ReferenceParse(const char* begin, const char* end, Json::Value& root)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    try {
        return reader->parse(begin, end, &root, nullptr);
    } catch (const std::exception&) {
        return false;  // nested past the stack limit
    }
}

// Value's own operator== takes 0.0 for -0.0 and ignores nothing else we
// care about; this one compares doubles by their bits.
bool Same(const Json::Value& a, const Json::Value& b)
{
    if (a.type() != b.type()) return false;
    switch (a.type()) {
    case Json::nullValue:
        return true;
    case Json::intValue:
        return a.asLargestInt() == b.asLargestInt();
    case Json::uintValue:
        return a.asLargestUInt() == b.asLargestUInt();
    case Json::realValue: {
        double x = a.asDouble(), y = b.asDouble();
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    case Json::booleanValue:
        return a.asBool() == b.asBool();
    case Json::stringValue: {
        const char *aBegin, *aEnd, *bBegin, *bEnd;
        a.getString(&aBegin, &aEnd);
        b.getString(&bBegin, &bEnd);
        return aEnd - aBegin == bEnd - bBegin && std::memcmp(aBegin, bBegin, static_cast<size_t>(aEnd - aBegin)) == 0;
    }
    case Json::arrayValue:
    case Json::objectValue: {
        if (a.size() != b.size()) return false;
        auto j = b.begin();
        for (auto i = a.begin(); i != a.end(); ++i, ++j) {
            if (a.isObject() && i.name() != j.name()) return false;
            if (!Same(*i, *j)) return false;
        }
        return true;
    }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* begin = reinterpret_cast<const char*>(data);
    Json::Value expected, actual;
    bool expectedOk = ReferenceParse(begin, begin + size, expected);
    bool actualOk = JsonReader::Parse(begin, begin + size, actual);
    if (expectedOk != actualOk) __builtin_trap();
    if (!actualOk) return 0;
    if (!Same(expected, actual)) __builtin_trap();

    Json::StreamWriterBuilder builder;
    std::string written = JsonWriter::Write(actual);
    if (written != Json::writeString(builder, actual)) __builtin_trap();
    Json::Value again;
    if (!JsonReader::Parse(written.data(), written.data() + written.size(), again)) __builtin_trap();
    return 0;
}
