// Soak of the usage-event queue, numbers and a verdict: 2,000 events are
// queued while the service refuses every report, then the service comes
// back and the event-report thread sends them at its pace of one a second.
// Every event must arrive exactly once and in the order it was queued; the
// process's working set is printed as the queue fills, waits and drains.
// scripts/soak runs it against a stand-in of its own (about 35 minutes).
//
//   soak_events.exe [events] [down seconds]

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/JsonValue.h"
#include "diagnostics/Logger.h"
#include "state/DataManager.h"
#include "tests/service/StandIn.h"
#include "tests/service/StandIn.h"

namespace {

unsigned long long WorkingSetKb()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize / 1024;
}

// A folder of its own below the temporary folder (trailing backslash).
std::wstring SoakFolder()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"vantorie-event-soak\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::string EventName(int index)
{
    char name[32];
    snprintf(name, sizeof name, "soak_%04d", index);
    return name;
}

void Sample(const char* phase, ULONGLONG start, size_t queued)
{
    printf("%-8s t=%6.1fs queued=%5u working_set=%llu KB\n", phase,
           static_cast<double>(GetTickCount64() - start) / 1000.0, static_cast<unsigned>(queued),
           WorkingSetKb());
    fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    int events = argc > 1 ? _wtoi(argv[1]) : 2000;
    int downSeconds = argc > 2 ? _wtoi(argv[2]) : 20;
    std::wstring folder = SoakFolder();
    g_pLogger = new CLogger(folder, L"installer");
    if (!standin::Reset() || !standin::SetBehaviour("{\"report\": \"down\"}")) {
        printf("the stand-in service is not reachable\n");
        return 2;
    }
    auto* manager = new CDataManager(folder, standin::Host());
    ULONGLONG start = GetTickCount64();
    Sample("start", start, manager->QueuedEventCount());
    for (int i = 0; i < events; ++i)
        manager->ReportEvent(UsageEvent{EventName(i), 1700000000000LL + 1000LL * i});
    Sample("queued", start, manager->QueuedEventCount());

    // The service is down: the oldest event is tried once a second and kept.
    for (int second = 5; second <= downSeconds; second += 5) {
        Sleep(5000);
        Sample("down", start, manager->QueuedEventCount());
    }
    size_t refused = standin::RequestsTo("/v1/report").size();
    size_t stillQueued = manager->QueuedEventCount();

    // Back: a clean record, every report accepted from now on.
    standin::Reset();
    ULONGLONG back = GetTickCount64();
    unsigned long long firstKb = 0, peakKb = 0;
    ULONGLONG limit = static_cast<ULONGLONG>(events) * 2000 + 120000;
    size_t lastPrinted = static_cast<size_t>(events) + 1;
    for (size_t queued = manager->QueuedEventCount(); queued > 0; queued = manager->QueuedEventCount()) {
        if (GetTickCount64() - back > limit) break;
        size_t sent = static_cast<size_t>(events) - queued;
        unsigned long long kb = WorkingSetKb();
        if (sent >= 100 && firstKb == 0) firstKb = kb;
        if (kb > peakKb) peakKb = kb;
        if (sent % 100 == 0 && sent != lastPrinted) {
            Sample("drain", start, queued);
            lastPrinted = sent;
        }
        Sleep(250);
    }
    Sample("drained", start, manager->QueuedEventCount());
    double drainSeconds = static_cast<double>(GetTickCount64() - back) / 1000.0;
    // Measured before the check below reads the stand-in's whole record.
    unsigned long long endKb = WorkingSetKb();

    // Once each, in order, nothing else.
    Json::Value reports = standin::RequestsTo("/v1/report");
    int inOrder = 0;
    int wrong = 0;
    for (Json::Value::ArrayIndex i = 0; i < reports.size(); ++i) {
        Json::Value body;
        if (!ParseJson(reports[i]["body"].asString(), body)) {
            ++wrong;
            continue;
        }
        if (body["evt"].asString() == EventName(static_cast<int>(i)) &&
            body["ct"].asInt64() == 1700000000000LL + 1000LL * static_cast<long long>(i))
            ++inOrder;
        else
            ++wrong;
    }
    printf("events=%d refused_while_down=%u queued_while_down=%u\n", events,
           static_cast<unsigned>(refused), static_cast<unsigned>(stillQueued));
    printf("arrived=%u in_order=%d out_of_place=%d left_queued=%u drain=%.0fs (%.2fs per event)\n",
           static_cast<unsigned>(reports.size()), inOrder, wrong,
           static_cast<unsigned>(manager->QueuedEventCount()), drainSeconds,
           drainSeconds / (events > 0 ? events : 1));
    printf("working_set_kb after_100=%llu peak=%llu end=%llu growth=%lld\n", firstKb, peakKb, endKb,
           static_cast<long long>(endKb) - static_cast<long long>(firstKb));
    fflush(stdout);
    bool ok = static_cast<int>(reports.size()) == events && inOrder == events && wrong == 0 &&
              manager->QueuedEventCount() == 0 && stillQueued == static_cast<size_t>(events);
    printf("%s\n", ok ? "soak: every event arrived once, in order" : "soak: FAILED");
    return ok ? 0 : 1;
}
