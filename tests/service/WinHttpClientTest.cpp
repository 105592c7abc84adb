// The HTTPS client against the local stand-in service, over the real WinHTTP.

#include <windows.h>

#include <winhttp.h>

#include <gtest/gtest.h>

#include "base/JsonValue.h"
#include "service/WinHttpClient.h"
#include "tests/service/StandIn.h"

namespace {

CWinHttpClient ServiceClient()
{
    return CWinHttpClient(L"localhost", 443, L"WinHttpClient", L"", L"", L"", L"");
}

class WinHttpClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(standin::Reset()) << "the stand-in service is not running"; }
};

TEST_F(WinHttpClientTest, GetSendsHeaderBlockAndReadsWholeBody)
{
    HttpResponse response;
    ASSERT_TRUE(ServiceClient().Get(L"/v1/getDownloadInfo?orderId=predownload&version=1",
                                    L"did: d1\r\nvid: \r\nproduct: sample.viewer\r\n", response));
    EXPECT_EQ(200u, response.statusCode);
    EXPECT_TRUE(response.errorText.empty());
    Json::Value reply;
    ASSERT_TRUE(ParseJson(response.body, reply)) << response.body;
    EXPECT_EQ(0, reply["error"].asInt());
    EXPECT_EQ("sample_installer.exe", reply["data"]["filename"].asString());

    Json::Value requests = standin::Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("GET", requests[0]["method"].asString());
    EXPECT_EQ("orderId=predownload&version=1", requests[0]["query"].asString());
    std::string lines = standin::HeaderLines(requests[0]);
    EXPECT_NE(std::string::npos, lines.find("did: d1\r\nvid: \r\nproduct: sample.viewer\r\n"))
        << lines;
    EXPECT_NE(std::string::npos, lines.find("User-Agent: WinHttpClient\r\n")) << lines;
    EXPECT_EQ("", requests[0]["body"].asString());
}

TEST_F(WinHttpClientTest, EmptyHeaderBlockAndBodySendNeitherAndPostBodyArrivesIntact)
{
    HttpResponse response;
    ASSERT_TRUE(ServiceClient().Post(L"/empty", L"", "", response));
    EXPECT_EQ(200u, response.statusCode);
    EXPECT_EQ("", response.body);

    std::string body = u8"{\"evt\":\"software_activation\",\"名\":\"晴川\"}";
    HttpResponse posted;
    ASSERT_TRUE(ServiceClient().Post(L"/v1/report", L"Content-Type: Application/json\r\n", body,
                                     posted));
    EXPECT_EQ(200u, posted.statusCode);

    Json::Value requests = standin::Requests();
    ASSERT_EQ(2u, requests.size());
    std::string emptyLines = standin::HeaderLines(requests[0]);
    EXPECT_EQ(std::string::npos, emptyLines.find("Content-Type")) << emptyLines;
    EXPECT_EQ("", requests[0]["body"].asString());
    EXPECT_EQ(body, requests[1]["body"].asString());
    EXPECT_NE(std::string::npos,
              standin::HeaderLines(requests[1]).find("Content-Type: Application/json\r\n"));
}

TEST_F(WinHttpClientTest, ErrorStatusesAreCompletedExchanges)
{
    for (int status : {404, 500, 503}) {
        HttpResponse response;
        std::wstring path = L"/status/" + std::to_wstring(status);
        EXPECT_TRUE(ServiceClient().Get(path, L"", response)) << status;
        EXPECT_EQ(static_cast<unsigned long>(status), response.statusCode);
        EXPECT_EQ("status body", response.body);
    }
}

TEST_F(WinHttpClientTest, LargeBodyIsReadWhole)
{
    HttpResponse response;
    ASSERT_TRUE(ServiceClient().Get(L"/blob/300000", L"", response));
    EXPECT_EQ(200u, response.statusCode);
    EXPECT_EQ(300000u, response.body.size());
}

TEST_F(WinHttpClientTest, BasicChallengeIsAnsweredOnceWithServerCredentials)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"auth\": \"basic\"}"));
    CWinHttpClient client(L"localhost", 443, L"WinHttpClient", L"", L"", L"user", L"secret");
    HttpResponse response;
    ASSERT_TRUE(client.Get(L"/v1/getDownloadInfo?version=1", L"", response));
    EXPECT_EQ(200u, response.statusCode);
    Json::Value requests = standin::Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(std::string::npos, standin::HeaderLines(requests[0]).find("Authorization"));
    EXPECT_NE(std::string::npos,
              standin::HeaderLines(requests[1]).find("Authorization: Basic dXNlcjpzZWNyZXQ="));
}

TEST_F(WinHttpClientTest, SecondRefusalIsReturnedAsCompletedExchange)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"auth\": \"basic\"}"));
    CWinHttpClient client(L"localhost", 443, L"WinHttpClient", L"", L"", L"user", L"wrong");
    HttpResponse response;
    ASSERT_TRUE(client.Get(L"/v1/getDownloadInfo?version=1", L"", response));
    EXPECT_EQ(401u, response.statusCode);
    EXPECT_EQ(2u, standin::Requests().size());
}

TEST_F(WinHttpClientTest, ProxyChallengeIsSentOnceMoreThenReturned)
{
    // The stand-in answers 407 itself, as a proxy in front of it would.
    ASSERT_TRUE(standin::SetBehaviour("{\"auth\": \"proxy\"}"));
    HttpResponse response;
    ASSERT_TRUE(ServiceClient().Get(L"/v1/getDownloadInfo?version=1", L"", response));
    EXPECT_EQ(407u, response.statusCode);
    Json::Value requests = standin::Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(std::string::npos, standin::HeaderLines(requests[1]).find("Proxy-Authorization"));

    // With a proxy user name the second round carries the proxy credentials.
    ASSERT_TRUE(standin::Reset());
    ASSERT_TRUE(standin::SetBehaviour("{\"auth\": \"proxy\"}"));
    CWinHttpClient client(L"localhost", 443, L"WinHttpClient", L"user", L"secret", L"", L"");
    HttpResponse withUser;
    ASSERT_TRUE(client.Get(L"/v1/getDownloadInfo?version=1", L"", withUser));
    EXPECT_EQ(407u, withUser.statusCode);
    // Wine's WinHTTP answers the second challenge itself once credentials
    // are set, so a third request may go out; never more than that.
    requests = standin::Requests();
    ASSERT_GE(requests.size(), 2u);
    ASSERT_LE(requests.size(), 3u);
    const Json::Value& last = requests[requests.size() - 1];
    EXPECT_NE(std::string::npos,
              standin::HeaderLines(last).find("Proxy-Authorization: Basic dXNlcjpzZWNyZXQ="))
        << standin::HeaderLines(last);
}

TEST_F(WinHttpClientTest, UnreachableHostFailsAtSend)
{
    CWinHttpClient client(L"127.0.0.1", 9, L"WinHttpClient", L"", L"", L"", L"");
    HttpResponse response;
    EXPECT_FALSE(client.Get(L"/", L"", response));
    EXPECT_EQ(L"WinHttpSendRequest fails!", response.errorText);
    EXPECT_EQ(0u, response.statusCode);

    CWinHttpClient unknown(L"no-such-host.invalid", 443, L"WinHttpClient", L"", L"", L"", L"");
    HttpResponse second;
    EXPECT_FALSE(unknown.Get(L"/", L"", second));
    EXPECT_EQ(L"WinHttpSendRequest fails!", second.errorText);
}

TEST(WinHttpClientRules, AccessTypeFollowsBuildAndSchemePreference)
{
    struct {
        bool known;
        unsigned long build;
        unsigned long type;
    } builds[] = {{true, 7601, 0}, {true, 9599, 0}, {true, 9600, 4}, {true, 19045, 4},
                  {false, 19045, 0}, {false, 0, 0}};
    for (const auto& row : builds)
        EXPECT_EQ(row.type, CWinHttpClient::AccessTypeForBuild(row.known, row.build)) << row.build;

    struct {
        unsigned long supported;
        unsigned long picked;
    } schemes[] = {
        {0, 0},
        {WINHTTP_AUTH_SCHEME_BASIC, WINHTTP_AUTH_SCHEME_BASIC},
        {WINHTTP_AUTH_SCHEME_BASIC | WINHTTP_AUTH_SCHEME_NTLM, WINHTTP_AUTH_SCHEME_NTLM},
        {WINHTTP_AUTH_SCHEME_DIGEST | WINHTTP_AUTH_SCHEME_BASIC, WINHTTP_AUTH_SCHEME_DIGEST},
        {WINHTTP_AUTH_SCHEME_PASSPORT | WINHTTP_AUTH_SCHEME_DIGEST, WINHTTP_AUTH_SCHEME_PASSPORT},
        {0x1f, WINHTTP_AUTH_SCHEME_NEGOTIATE},
    };
    for (const auto& row : schemes)
        EXPECT_EQ(row.picked, CWinHttpClient::PickAuthScheme(row.supported)) << row.supported;
}

}  // namespace
