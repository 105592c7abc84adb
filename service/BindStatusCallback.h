#pragma once

#include <windows.h>

#include <urlmon.h>

#include <string>

class IDownloadCallback;

// Turns the byte counts of one URL-moniker download into percentages for an
// IDownloadCallback. It lives on the download worker's stack for exactly one
// URLDownloadToFileW call, so it is not reference-counted.
//
// It also hears the HTTP status through IHttpNegotiate: a moniker download
// of an error page (404, 500) would otherwise end in S_OK and leave the
// error text in place of the installer. The same answer gives the length
// the server promised, so that a cut connection is not taken for a whole file.
// When the download continues a partial file, it asks for the rest through
// the extra headers the moniker requests before it sends, and counts the
// bytes already on disk into the percentages.
class CBindStatusCallback : public IBindStatusCallback, public IHttpNegotiate {
public:
    CBindStatusCallback(int taskId, IDownloadCallback* callback)
        : m_taskId(taskId), m_callback(callback)
    {
    }
    virtual ~CBindStatusCallback() = default;

    // Whole percent of progress over total, computed as the moniker reports
    // it: the counts in single precision, truncated toward zero.
    static int Percent(ULONG progress, ULONG progressMax);

    STDMETHODIMP QueryInterface(REFIID, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return E_NOTIMPL; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
    STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                            LPCWSTR statusText) override;
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetBindInfo(DWORD*, BINDINFO*) override { return E_NOTIMPL; }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return E_NOTIMPL; }

    STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) override;
    STDMETHODIMP OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders) override;

    // Asks for everything from offset on, as long as the file is still the
    // one validator names; set before the download starts.
    void AskForRest(unsigned long long offset, const std::wstring& validator);
    // The response's raw header block, empty when none was heard.
    const std::wstring& ResponseHeaders() const { return m_responseHeaders; }

    // The last HTTP status heard, 0 when none was.
    DWORD ResponseCode() const { return m_responseCode; }
    // The body's length as the response promised it; false when it gave
    // none or when the file on disk may lawfully differ from it (a content
    // or transfer encoding).
    bool PromisedLength(unsigned long long& length) const
    {
        length = m_promisedLength;
        return m_lengthPromised;
    }
    // How many bytes of the body the moniker said it had received; a file
    // on disk shorter than that was not written whole (a full disk can
    // still end in S_OK, with or without a promised length).
    ULONG BytesReceived() const { return m_bytesReceived; }
    // Reads the promise from a raw header block (lines ending in CR LF).
    static bool PromisedLengthOf(const wchar_t* headers, unsigned long long& length);
    // A download the server answered with an error status has failed,
    // whatever the moniker's own result says.
    HRESULT Judge(HRESULT downloadResult) const;

private:
    int m_taskId;
    IDownloadCallback* m_callback;
    int m_lastPercent = 0;
    DWORD m_responseCode = 0;
    bool m_lengthPromised = false;
    unsigned long long m_promisedLength = 0;
    ULONG m_bytesReceived = 0;
    std::wstring m_responseHeaders;
    std::wstring m_requestHeaders;  // extra lines for the request, empty for none
    unsigned long long m_offset = 0;  // bytes already on disk before this transfer
};
