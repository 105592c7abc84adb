// Prints how long the service client's steps take under this system, with
// the stand-in service on the same machine. Not a test: it judges nothing.

#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "service/DownloadManager.h"
#include "service/WinHttpClient.h"
#include "state/DataManager.h"
#include "tests/service/DownloadRecorder.h"
#include "tests/service/StandIn.h"

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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The installer download as the install button starts it, from the request
// for the download information to the path recorded in data.json, beside a
// bare URLDownloadToFileW of the same file in the same process; the two take
// turns. Each URL carries the run's number, so no cache answers.
void CompareDownloads(CDataManager* manager, const std::wstring& folder, int size, int runs)
{
    std::vector<double> real, raw;
    std::wstring blob = L"https://localhost/fill/" + std::to_wstring(size);
    std::wstring rawTarget = folder + L"raw.bin";
    // The stand-in makes a blob once; this first fetch is not counted.
    URLDownloadToFileW(nullptr, (blob + L"?warm").c_str(), rawTarget.c_str(), 0, nullptr);
    for (int i = 0; i < runs; ++i) {
        std::wstring url = blob + L"?run=" + std::to_wstring(i);
        standin::SetBehaviour("{\"fileurl\": \"" + std::string(url.begin(), url.end()) + "&real\"}");
        CDownloadRecorder listener;
        manager->SetListener(&listener);
        double start = Now();
        manager->StartInstallerDownload();
        if (!listener.WaitForCompletions(1, 600000) || listener.Events()[0].value != 1) {
            printf("  installer download failed\n");
            return;
        }
        real.push_back(Now() - start);

        DeleteFileW(rawTarget.c_str());
        DeleteUrlCacheEntryW((url + L"&raw").c_str());
        start = Now();
        if (URLDownloadToFileW(nullptr, (url + L"&raw").c_str(), rawTarget.c_str(), 0, nullptr) != S_OK) {
            printf("  raw download failed\n");
            return;
        }
        raw.push_back(Now() - start);
    }
    double megabytes = size / 1e6;
    printf("%-48s %9.1f ms median of %d (%.1f MB/s)\n", "  installer download, button -> recorded",
           Median(real), runs, megabytes / Median(real) * 1000);
    printf("%-48s %9.1f ms median of %d (%.1f MB/s)\n", "  raw URLDownloadToFileW", Median(raw), runs,
           megabytes / Median(raw) * 1000);
    printf("ROW download_%d %.1f %.1f %.2f\n", size, Median(real), Median(raw), Median(raw) / Median(real));
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
    manager->SetSoftwareVersion(L"3.2");
    printf("4 MB installer:\n");
    CompareDownloads(manager, folder, 4000000, 15);
    printf("200 MB installer:\n");
    CompareDownloads(manager, folder, 200000000, 3);
    standin::Reset();
    return 0;
}
