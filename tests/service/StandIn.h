#pragma once

// Steers and inspects the local stand-in web service that scripts/test runs
// on 127.0.0.1:443, through its control endpoint.

#include <string>

#include <json/value.h>

namespace standin {

// The host name the stand-in answers on for this test.
std::wstring Host();

// Default behaviour and no recorded requests; false when the stand-in is not reachable.
bool Reset();
// Merges the members of a JSON object text over the current behaviour.
bool SetBehaviour(const std::string& json);
// Every request recorded since the last reset, oldest first.
Json::Value Requests();
// The recorded requests to one path.
Json::Value RequestsTo(const std::string& path);
// The header lines of a recorded request, "Name: value" each, in arrival order.
std::string HeaderLines(const Json::Value& request);

}  // namespace standin
