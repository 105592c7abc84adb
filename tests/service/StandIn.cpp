#include "tests/service/StandIn.h"

#include <windows.h>

#include "base/JsonValue.h"
#include "service/WinHttpClient.h"

namespace standin {

// The stand-in answers on localhost unless VANTORIE_STANDIN_HOST names
// another of its addresses (a proxy test reaches it around the proxy there).
std::wstring Host()
{
    wchar_t host[64] = {};
    DWORD length = GetEnvironmentVariableW(L"VANTORIE_STANDIN_HOST", host, 64);
    return length > 0 && length < 64 ? std::wstring(host, length) : std::wstring(L"localhost");
}

namespace {

bool Control(const wchar_t* verb, const std::wstring& path, const std::string& body,
             HttpResponse& response)
{
    CWinHttpClient client(Host(), 443, L"StandInControl", L"", L"", L"", L"");
    return client.SendRequest(verb, path, L"", body, response) && response.statusCode == 200;
}

}  // namespace

bool Reset()
{
    HttpResponse response;
    return Control(L"POST", L"/control/reset", "{}", response);
}

bool SetBehaviour(const std::string& json)
{
    HttpResponse response;
    return Control(L"POST", L"/control/behaviour", json, response);
}

Json::Value Requests()
{
    HttpResponse response;
    Json::Value list(Json::arrayValue);
    if (Control(L"GET", L"/control/requests", "", response)) ParseJson(response.body, list);
    return list;
}

Json::Value RequestsTo(const std::string& path)
{
    Json::Value all = Requests();
    Json::Value matching(Json::arrayValue);
    for (const Json::Value& request : all) {
        if (request["path"].asString() == path) matching.append(request);
    }
    return matching;
}

std::string HeaderLines(const Json::Value& request)
{
    std::string lines;
    for (const Json::Value& header : request["headers"])
        lines += header[0].asString() + ": " + header[1].asString() + "\r\n";
    return lines;
}

}  // namespace standin
