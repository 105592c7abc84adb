#include "service/BindStatusCallback.h"

#include "service/DownloadCallback.h"

int CBindStatusCallback::Percent(ULONG progress, ULONG progressMax)
{
    if (progressMax == 0) return 0;
    float ratio = static_cast<float>(progress) * 100.0f / static_cast<float>(progressMax);
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

STDMETHODIMP CBindStatusCallback::OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR,
                                             LPWSTR* additionalHeaders)
{
    if (additionalHeaders) *additionalHeaders = nullptr;
    m_responseCode = responseCode;
    return S_OK;
}

HRESULT CBindStatusCallback::Judge(HRESULT downloadResult) const
{
    if (downloadResult == S_OK && m_responseCode >= 400) return INET_E_DOWNLOAD_FAILURE;
    return downloadResult;
}

STDMETHODIMP CBindStatusCallback::OnProgress(ULONG progress, ULONG progressMax, ULONG, LPCWSTR)
{
    if (!m_callback) return E_ABORT;
    // Without a total there is nothing to give a percentage of.
    if (progressMax == 0) return S_OK;
    int percent = Percent(progress, progressMax);
    // Only forward steps reach the listener, so it never sees 0, a repeat
    // or a step back.
    if (percent > m_lastPercent && percent <= 100) {
        m_lastPercent = percent;
        m_callback->OnDownloadProgress(m_taskId, percent);
    }
    return S_OK;
}
