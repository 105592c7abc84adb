// Prints how long the service client's steps take under this system, with
// the stand-in service on the same machine. Not a test: it judges nothing.

#include <windows.h>

#include <cstdio>

#include "service/DownloadManager.h"
#include "service/WinHttpClient.h"
#include "state/DataManager.h"
#include "tests/service/DownloadRecorder.h"

namespace {

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Step>
void Measure(const char* what, int rounds, Step step)
{
    double start = Now();
    for (int i = 0; i < rounds; ++i) step(i);
    double each = (Now() - start) / rounds;
    printf("%-48s %9.3f ms (mean of %d)\n", what, each, rounds);
}

}  // namespace

int wmain()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"vantorie-benchmark\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    Measure("data manager, first start (new device id, save)", 20, [&](int) {
        DeleteFileW((folder + L"data.json").c_str());
        new CDataManager(folder, L"localhost");
    });
    Measure("data manager, later start (load only)", 50,
            [&](int) { new CDataManager(folder, L"localhost"); });
    CDataManager* manager = new CDataManager(folder, L"localhost");
    Measure("save of data.json (whole file, then replace)", 200,
            [&](int i) { manager->SetSoftwareVersion(L"3.2." + std::to_wstring(i)); });
    Measure("getDownloadInfo round trip (new TLS session)", 20, [&](int) {
        std::wstring name, url;
        if (!manager->GetDownloadInfo(L"3.2", name, url)) printf("  request failed\n");
    });
    Measure("report POST round trip", 20, [&](int) {
        CWinHttpClient client(L"localhost", 443, L"WinHttpClient", L"", L"", L"", L"");
        HttpResponse response;
        client.Post(L"/v1/report", manager->BuildHeaders(), "{\"evt\":\"x\"}", response);
    });
    Measure("download of 4 MB through the worker", 3, [&](int i) {
        CDownloadRecorder recorder;
        CDownloadManager::GetInstance()->CreateDownloadingTask(
            L"https://localhost/blob/" + std::to_wstring(4000000 + i), folder + L"blob.bin", &recorder);
        recorder.WaitForCompletions(1, 120000);
    });
    return 0;
}
