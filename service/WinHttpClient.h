#pragma once

#include <string>

// What one exchange leaves for its caller: the raw body (the service sends
// UTF-8 JSON), the status of the last response read (0 if none), and the
// message and system error number of the last step that failed (empty and
// 0 if none did). The number is kept here because closing the handles on
// the way out changes the thread's last error before the caller can read it.
struct HttpResponse {
    std::string body;
    unsigned long statusCode = 0;
    std::wstring errorText;
    unsigned long errorCode = 0;
};

// One synchronous HTTPS exchange over WinHTTP. An object is built on the
// caller's stack for one request; each exchange opens and closes its own
// session, connection and request handles, so objects share nothing and
// several threads may run exchanges at once.
class CWinHttpClient {
public:
    CWinHttpClient(const std::wstring& host, int port, const std::wstring& agent,
                   const std::wstring& proxyUserName, const std::wstring& proxyPassword,
                   const std::wstring& serverUserName, const std::wstring& serverPassword);

    // True when a response arrived and its body was read, whatever its status.
    bool Get(const std::wstring& path, const std::wstring& headers, HttpResponse& response);
    bool Post(const std::wstring& path, const std::wstring& headers, const std::string& body,
              HttpResponse& response);
    bool SendRequest(const wchar_t* verb, const std::wstring& path, const std::wstring& headers,
                     const std::string& body, HttpResponse& response);

    // The access type for WinHttpOpen: automatic proxy (4) where WinHTTP
    // knows it, from build 9600 on, the default proxy (0) before and when
    // the build cannot be learnt.
    static unsigned long AccessTypeForBuild(bool buildKnown, unsigned long build);
    static unsigned long AccessType();

    // First supported scheme of Negotiate, NTLM, Passport, Digest, Basic; 0 for none.
    static unsigned long PickAuthScheme(unsigned long supported);

private:
    std::wstring m_host;
    int m_port;
    std::wstring m_agent;
    std::wstring m_proxyUserName;
    std::wstring m_proxyPassword;
    std::wstring m_serverUserName;
    std::wstring m_serverPassword;
};
