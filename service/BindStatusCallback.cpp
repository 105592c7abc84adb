#include "service/BindStatusCallback.h"

#include "service/DownloadCallback.h"
#include "service/ResumeRecord.h"

#include <cstdlib>
#include <cstring>
#include <string>

int CBindStatusCallback::Percent(ULONG progress, ULONG progressMax)
{
    if (progressMax == 0) return 0;
    // The counts are taken in single precision, the arithmetic is not: done
    // in float with SSE (every 64-bit build), a finished download of
    // 671,089 bytes or many other sizes computes to 99.99999 and shows 99.
    // The x87 unit of a 32-bit build always kept the extra precision that
    // double gives here, so both builds agree.
    double ratio = static_cast<double>(static_cast<float>(progress)) * 100.0 /
                   static_cast<double>(static_cast<float>(progressMax));
    return static_cast<int>(ratio);
}

STDMETHODIMP CBindStatusCallback::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    // Only the status interface is offered; everything else the moniker may
    // ask for keeps its default behaviour.
    if (IsEqualIID(iid, IID_IHttpNegotiate)) {
        *object = static_cast<IHttpNegotiate*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CBindStatusCallback::OnResponse(DWORD responseCode, LPCWSTR responseHeaders, LPCWSTR,
                                             LPWSTR* additionalHeaders)
{
    if (additionalHeaders) *additionalHeaders = nullptr;
    m_responseCode = responseCode;
    m_lengthPromised = PromisedLengthOf(responseHeaders, m_promisedLength);
    m_responseHeaders = responseHeaders ? responseHeaders : L"";
    // Only a continuation counts the bytes kept from before; a whole new
    // file starts its percentages from zero again.
    if (responseCode != 206) m_offset = 0;
    return S_OK;
}

void CBindStatusCallback::AskForRest(unsigned long long offset, const std::wstring& validator)
{
    m_offset = offset;
    m_requestHeaders = RangeRequestHeaders(offset, validator);
}

STDMETHODIMP CBindStatusCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders)
{
    if (!additionalHeaders) return E_POINTER;
    *additionalHeaders = nullptr;
    if (m_requestHeaders.empty()) return S_OK;
    // The moniker frees the block with the task allocator.
    size_t bytes = (m_requestHeaders.size() + 1) * sizeof(wchar_t);
    auto* block = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
    if (!block) return E_OUTOFMEMORY;
    memcpy(block, m_requestHeaders.c_str(), bytes);
    *additionalHeaders = block;
    return S_OK;
}

bool CBindStatusCallback::PromisedLengthOf(const wchar_t* headers, unsigned long long& length)
{
    length = 0;
    if (!headers) return false;
    bool found = false;
    std::wstring block = headers;
    size_t start = 0;
    while (start < block.size()) {
        size_t end = block.find(L"\r\n", start);
        if (end == std::wstring::npos) end = block.size();
        std::wstring line = block.substr(start, end - start);
        start = end + 2;
        size_t colon = line.find(L':');
        if (colon == std::wstring::npos) continue;
        std::wstring name = line.substr(0, colon);
        size_t first = line.find_first_not_of(L" \t", colon + 1);
        size_t last = line.find_last_not_of(L" \t");
        std::wstring value = first == std::wstring::npos ? std::wstring() : line.substr(first, last - first + 1);
        if (_wcsicmp(name.c_str(), L"Content-Encoding") == 0 || _wcsicmp(name.c_str(), L"Transfer-Encoding") == 0) {
            if (_wcsicmp(value.c_str(), L"identity") != 0) return false;
        } else if (_wcsicmp(name.c_str(), L"Content-Length") == 0) {
            if (value.empty() || value.size() > 18 || value.find_first_not_of(L"0123456789") != std::wstring::npos)
                return false;
            unsigned long long number = _wcstoui64(value.c_str(), nullptr, 10);
            // Two different promises leave nothing to check against.
            if (found && number != length) return false;
            length = number;
            found = true;
        }
    }
    return found;
}

HRESULT CBindStatusCallback::Judge(HRESULT downloadResult) const
{
    if (downloadResult == S_OK && m_responseCode >= 400) return INET_E_DOWNLOAD_FAILURE;
    return downloadResult;
}

STDMETHODIMP CBindStatusCallback::OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                             LPCWSTR)
{
    if (!m_callback) return E_ABORT;
    if ((statusCode == BINDSTATUS_DOWNLOADINGDATA || statusCode == BINDSTATUS_ENDDOWNLOADDATA) &&
        progress > m_bytesReceived)
        m_bytesReceived = progress;
    // Without a total there is nothing to give a percentage of.
    if (progressMax == 0) return S_OK;
    int percent = m_offset == 0 ? Percent(progress, progressMax)
                                : static_cast<int>(static_cast<double>(m_offset + progress) * 100.0 /
                                                   static_cast<double>(m_offset + progressMax));
    // Only forward steps reach the listener, so it never sees 0, a repeat
    // or a step back.
    if (percent > m_lastPercent && percent <= 100) {
        m_lastPercent = percent;
        m_callback->OnDownloadProgress(m_taskId, percent);
    }
    return S_OK;
}
