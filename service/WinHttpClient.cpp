#include "service/WinHttpClient.h"

#include <windows.h>

#include <winhttp.h>

#include <cwchar>
#include <vector>

#ifndef WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY
#define WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY 4
#endif

namespace {

const wchar_t kGet[] = L"GET";
const wchar_t kPost[] = L"POST";

// A resend that WinHTTP keeps asking for would otherwise spin this thread
// for ever; a handful is far more than a sound server or proxy needs.
const int kMaxResends = 10;

// Owns one WinHTTP handle; the three of an exchange close in reverse order
// of their declaration, which is the order WinHTTP wants.
class CWinHttpHandle {
public:
    explicit CWinHttpHandle(HINTERNET handle) : m_handle(handle) {}
    ~CWinHttpHandle()
    {
        if (m_handle) WinHttpCloseHandle(m_handle);
    }
    CWinHttpHandle(const CWinHttpHandle&) = delete;
    CWinHttpHandle& operator=(const CWinHttpHandle&) = delete;
    HINTERNET Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    HINTERNET m_handle;
};

// Records a failed step with the error number of the call that just failed.
void NoteFailure(HttpResponse& response, const std::wstring& text, DWORD error)
{
    response.errorText = text;
    response.errorCode = error;
}

std::wstring WithNumber(const wchar_t* prefix, unsigned long number)
{
    wchar_t text[32];
    _snwprintf(text, 32, L"%lu", number);
    return std::wstring(prefix) + text;
}

}  // namespace

CWinHttpClient::CWinHttpClient(const std::wstring& host, int port, const std::wstring& agent,
                               const std::wstring& proxyUserName, const std::wstring& proxyPassword,
                               const std::wstring& serverUserName,
                               const std::wstring& serverPassword)
    : m_host(host),
      m_port(port),
      m_agent(agent),
      m_proxyUserName(proxyUserName),
      m_proxyPassword(proxyPassword),
      m_serverUserName(serverUserName),
      m_serverPassword(serverPassword)
{
}

bool CWinHttpClient::Get(const std::wstring& path, const std::wstring& headers,
                         HttpResponse& response)
{
    return SendRequest(kGet, path, headers, std::string(), response);
}

bool CWinHttpClient::Post(const std::wstring& path, const std::wstring& headers,
                          const std::string& body, HttpResponse& response)
{
    return SendRequest(kPost, path, headers, body, response);
}

unsigned long CWinHttpClient::AccessTypeForBuild(bool buildKnown, unsigned long build)
{
    if (buildKnown && build >= 9600) return WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY;
    return WINHTTP_ACCESS_TYPE_DEFAULT_PROXY;
}

unsigned long CWinHttpClient::AccessType()
{
    // RtlGetVersion tells the truth where GetVersionEx is shimmed for old manifests.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto getVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
                                  GetProcAddress(ntdll, "RtlGetVersion")))
                            : nullptr;
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    bool known = getVersion && getVersion(&info) == 0;
    return AccessTypeForBuild(known, known ? info.dwBuildNumber : 0);
}

unsigned long CWinHttpClient::PickAuthScheme(unsigned long supported)
{
    const unsigned long preference[] = {WINHTTP_AUTH_SCHEME_NEGOTIATE, WINHTTP_AUTH_SCHEME_NTLM,
                                        WINHTTP_AUTH_SCHEME_PASSPORT, WINHTTP_AUTH_SCHEME_DIGEST,
                                        WINHTTP_AUTH_SCHEME_BASIC};
    for (unsigned long scheme : preference) {
        if (supported & scheme) return scheme;
    }
    return 0;
}

bool CWinHttpClient::SendRequest(const wchar_t* verb, const std::wstring& path,
                                 const std::wstring& headers, const std::string& body,
                                 HttpResponse& response)
{
    // 1. The session, synchronous, following the system's proxy settings.
    CWinHttpHandle session(WinHttpOpen(m_agent.c_str(), AccessType(), WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        NoteFailure(response, L"WinHttpOpen fails!", GetLastError());
        return false;
    }
    // 2. The connection.
    CWinHttpHandle connection(
        WinHttpConnect(session.Get(), m_host.c_str(), static_cast<INTERNET_PORT>(m_port), 0));
    if (!connection) {
        NoteFailure(response, L"WinHttpConnect fails!", GetLastError());
        return false;
    }
    // 3. The request, always over TLS and never answered from a cache.
    CWinHttpHandle request(WinHttpOpenRequest(connection.Get(), verb, path.c_str(), nullptr,
                                              WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                              WINHTTP_FLAG_REFRESH | WINHTTP_FLAG_SECURE));
    if (!request) {
        response.errorCode = GetLastError();
        return false;
    }

    // 4. Send and receive until a response needs no further credential round.
    DWORD proxyScheme = 0;
    DWORD previousStatus = 0;
    int resends = 0;
    for (;;) {
        bool failed = false;
        bool done = false;
        // 4.1 Credentials for a proxy that asked in the previous round.
        if (proxyScheme != 0 && !m_proxyUserName.empty()) {
            if (!WinHttpSetCredentials(request.Get(), WINHTTP_AUTH_TARGET_PROXY, proxyScheme,
                                       m_proxyUserName.c_str(), m_proxyPassword.c_str(), nullptr))
                NoteFailure(response, L"WinHttpSetCredentials fails!", GetLastError());
        }
        // 4.2 Send the header block and the body.
        LPCWSTR headerText = headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str();
        DWORD headerLength = static_cast<DWORD>(headers.size());
        LPVOID optional = body.empty() ? WINHTTP_NO_REQUEST_DATA
                                       : const_cast<char*>(body.data());
        DWORD optionalLength = static_cast<DWORD>(body.size());
        if (!WinHttpSendRequest(request.Get(), headerText, headerLength, optional, optionalLength,
                                optionalLength, 0)) {
            NoteFailure(response, L"WinHttpSendRequest fails!", GetLastError());
            if (response.errorCode == ERROR_WINHTTP_RESEND_REQUEST && ++resends <= kMaxResends)
                continue;
            return false;
        }
        // 4.3 Wait for the response.
        if (!WinHttpReceiveResponse(request.Get(), nullptr)) {
            NoteFailure(response, L"WinHttpReceiveResponse fails!", GetLastError());
            if (response.errorCode == ERROR_WINHTTP_RESEND_REQUEST && ++resends <= kMaxResends)
                continue;
            return false;
        }
        // 4.4 The status; a failed query keeps the previous one.
        DWORD status = 0;
        DWORD statusSize = sizeof status;
        if (WinHttpQueryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                                WINHTTP_NO_HEADER_INDEX))
            response.statusCode = status;
        else
            NoteFailure(response, L"WinHttpQueryHeaders fails!", GetLastError());
        // 4.5 The body, whole, whatever the status.
        response.body.clear();
        for (;;) {
            DWORD available = 0;
            if (!WinHttpQueryDataAvailable(request.Get(), &available)) {
                DWORD error = GetLastError();
                NoteFailure(response, WithNumber(L"Error in WinHttpQueryDataAvailable: ", error), error);
                available = 0;
            }
            if (available == 0) break;
            std::vector<char> chunk(available, 0);
            DWORD read = 0;
            if (!WinHttpReadData(request.Get(), chunk.data(), available, &read)) {
                DWORD error = GetLastError();
                NoteFailure(response, WithNumber(L"Error in WinHttpReadData: ", error), error);
                continue;
            }
            response.body.append(chunk.data(), read);
        }
        // 4.6 One credential round for a server or proxy that asks for it.
        DWORD current = response.statusCode;
        if (current == HTTP_STATUS_DENIED) {
            DWORD supported = 0, first = 0, target = 0;
            if (!WinHttpQueryAuthSchemes(request.Get(), &supported, &first, &target)) {
                NoteFailure(response, L"WinHttpQueryAuthSchemes in case 401 fails!", GetLastError());
                failed = true;
            } else {
                DWORD scheme = PickAuthScheme(supported);
                if (scheme == 0) {
                    done = true;
                } else if (!WinHttpSetCredentials(request.Get(), target, scheme,
                                                  m_serverUserName.c_str(),
                                                  m_serverPassword.c_str(), nullptr)) {
                    NoteFailure(response, L"WinHttpSetCredentials in case 401 fails!", GetLastError());
                    failed = true;
                } else if (previousStatus == HTTP_STATUS_DENIED) {
                    done = true;
                }
            }
        } else if (current == HTTP_STATUS_PROXY_AUTH_REQ) {
            DWORD supported = 0, first = 0, target = 0;
            if (!WinHttpQueryAuthSchemes(request.Get(), &supported, &first, &target)) {
                NoteFailure(response, L"WinHttpQueryAuthSchemes in case 407 fails!", GetLastError());
                failed = true;
            } else {
                proxyScheme = PickAuthScheme(supported);
                if (previousStatus == HTTP_STATUS_PROXY_AUTH_REQ) done = true;
            }
        } else {
            done = true;
        }
        // 4.7 Leave, or send again with the credentials just set.
        previousStatus = current;
        if (failed) return false;
        if (done) return true;
    }
}
