// Skins as outside input: every window of a corpus (the product's own
// skins, the markup fuzzer's corpus and generated hostile ones) is built,
// laid out at two sizes, painted into a real window and destroyed, on a
// thread whose stack is 1 MiB like the program's main thread, within a
// bounded time and memory and without keeping GDI objects. The program
// prints the corpus size, the slowest and the largest build and the GDI
// counts, for the record.

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "diagnostics/Logger.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/hostile/HostileCorpus.h"
#include "tests/ui/support/ManagerTestWindow.h"
#include "ui/core/BuildBudget.h"
#include "ui/core/DrawKit.h"
#include "ui/core/LayoutBuilder.h"
#include "ui/core/ResourceLocation.h"
#include "ui/core/SkinSource.h"

using hostile::CorpusEntry;

namespace {

// What one build cost.
struct Outcome {
    std::string label;
    bool built = false;
    int controls = 0;
    bool limited = false;   // the build hit one of its bounds
    double seconds = 0;
    size_t workingSetGrowth = 0;
};

struct CorpusRun {
    std::vector<CorpusEntry> corpus;
    std::vector<Outcome> outcomes;
    int gdiBefore = 0, gdiAfterFirst = 0, gdiAfterSecond = 0;
    DWORD reportedBefore = 0, reportedAfter = 0;
    bool finished = false;
};

double Now()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

size_t WorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

// Runs what is queued for this thread's windows, deletions included.
void Drain()
{
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void UseSource(const CorpusEntry& entry)
{
    CSkinSource::Process().Reset();
    CSkinSource::Process().SetFolder(entry.folder);
    if (!entry.archive.empty()) CSkinSource::Process().UseArchive(entry.archive);
}

Outcome BuildOne(const CorpusEntry& entry)
{
    Outcome outcome;
    outcome.label = entry.label;
    UseSource(entry);
    const size_t before = WorkingSet();
    const double start = Now();
    {
        ui_test::CManagerTestWindow window(800, 600);
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(entry.file.c_str(), nullptr, nullptr, &window.Manager());
        outcome.controls = builder.Budget().Controls();
        for (int limit = 0; limit < CBuildBudget::kLimitCount; ++limit)
            outcome.limited |= builder.Budget().Exceeded(static_cast<CBuildBudget::Limit>(limit));
        if (root) {
            outcome.built = true;
            window.Manager().AttachRoot(root);
        }
        // Laid out and painted at the window's size, then at a tiny one.
        InvalidateRect(window.Handle(), nullptr, FALSE);
        window.PaintNow();
        Drain();
        SetWindowPos(window.Handle(), nullptr, 0, 0, 3, 3, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(window.Handle(), nullptr, FALSE);
        window.PaintNow();
        Drain();
        const size_t peak = WorkingSet();
        outcome.workingSetGrowth = peak > before ? peak - before : 0;
    }
    Drain();
    outcome.seconds = Now() - start;
    return outcome;
}

DWORD WINAPI RunCorpus(void* parameter)
{
    CorpusRun& run = *static_cast<CorpusRun*>(parameter);
    run.reportedBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    run.gdiBefore = ui_test::GdiObjectCount();
    // The first pass fills what lives for the process (shared fonts, the
    // system's own caches); the second must end where the first did.
    for (const CorpusEntry& entry : run.corpus) run.outcomes.push_back(BuildOne(entry));
    run.gdiAfterFirst = ui_test::GdiObjectCount();
    for (size_t i = 0; i < run.corpus.size(); ++i) {
        Outcome again = BuildOne(run.corpus[i]);
        if (again.seconds > run.outcomes[i].seconds) run.outcomes[i].seconds = again.seconds;
    }
    run.gdiAfterSecond = ui_test::GdiObjectCount();
    run.reportedAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    CSkinSource::Process().Reset();
    run.finished = true;
    return 0;
}

std::wstring WinePath(const char* path)
{
    std::string p(path);
    for (char& c : p)
        if (c == '/') c = '\\';
    return L"Z:" + std::wstring(p.begin(), p.end()) + L"\\";
}

}  // namespace

TEST(HostileSkins, PicturesTooLargeToDecodeAreRefusedFromTheirHeader)
{
    std::wstring folder = testing_support::ScratchFolder(L"hostile-pictures");
    ASSERT_TRUE(testing_support::WriteBytes(folder + L"fits.png", hostile::GreyPng(4096, 4096)));
    ASSERT_TRUE(testing_support::WriteBytes(folder + L"over.png", hostile::GreyPng(4097, 4096)));
    ASSERT_TRUE(testing_support::WriteBytes(folder + L"zero.png", hostile::GreyPng(0, 0)));
    ImageEntry* fits = CDrawKit::LoadImage(folder + L"fits.png", nullptr, 0);
    ASSERT_NE(fits, nullptr);
    EXPECT_EQ(fits->width, 4096);
    CDrawKit::FreeImage(fits);
    EXPECT_EQ(CDrawKit::LoadImage(folder + L"over.png", nullptr, 0), nullptr);
    EXPECT_EQ(CDrawKit::LoadImage(folder + L"zero.png", nullptr, 0), nullptr);
    testing_support::RemoveTree(folder);
}

TEST(HostileSkins, EveryWindowOfTheCorpusBuildsPaintsAndGoesAway)
{
    if (!g_pLogger) g_pLogger = new CLogger(testing_support::ScratchFolder(L"hostile-log"), L"installer");
    ResourceLocation::SetModuleInstance(GetModuleHandleW(nullptr));
    const std::wstring scratch = testing_support::ScratchFolder(L"hostile-skins");

    CorpusRun run;
    for (auto& e : hostile::ProductSkins(WinePath(PRODUCT_ARCHIVE_DIR))) run.corpus.push_back(e);
    const size_t product = run.corpus.size();
    // A long fuzzing run grows its corpus without end; a thousand files
    // keep this program well inside its time under ctest.
    for (auto& e : hostile::FolderSkins("fuzz", {WinePath(FUZZ_SEED_DIR), WinePath(UI_TEST_DATA_DIR),
                                                 WinePath(FUZZ_NATIVE_DIR "/seeds/markup"),
                                                 WinePath(FUZZ_NATIVE_DIR "/corpus_markup")},
                                        1000))
        run.corpus.push_back(e);
    const size_t fuzz = run.corpus.size() - product;
    for (auto& e : hostile::GenerateHostileSkins(scratch)) run.corpus.push_back(e);

    // The program's main thread has 1 MiB of stack; so has this one.
    HANDLE thread = CreateThread(nullptr, 1 << 20, &RunCorpus, &run, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    ASSERT_TRUE(run.finished);

    const Outcome* slowest = &run.outcomes.front();
    const Outcome* largest = &run.outcomes.front();
    const Outcome* mostControls = &run.outcomes.front();
    int built = 0;
    for (const Outcome& o : run.outcomes) {
        if (o.seconds > slowest->seconds) slowest = &o;
        if (o.workingSetGrowth > largest->workingSetGrowth) largest = &o;
        if (o.controls > mostControls->controls) mostControls = &o;
        built += o.built ? 1 : 0;
        // Bounds far above what any entry needs, far below hours and gigabytes.
        EXPECT_LT(o.seconds, 20.0) << o.label;
        EXPECT_LT(o.workingSetGrowth, static_cast<size_t>(512) << 20) << o.label;
        EXPECT_LE(o.controls, CBuildBudget::kMaxControls) << o.label;
    }
    // One line per window, except the quick ones of the fuzzer's corpus.
    for (const Outcome& o : run.outcomes) {
        if (o.label.compare(0, 5, "fuzz/") == 0 && o.seconds < 0.5) continue;
        std::printf("  %-48s %s%s %6d controls %8.3f s %+8.1f MiB\n", o.label.c_str(), o.built ? "built " : "no tree", o.limited ? " (bounded)" : "          ",
                    o.controls, o.seconds, static_cast<double>(o.workingSetGrowth) / (1024.0 * 1024.0));
    }
    std::printf("hostile skins: corpus %zu windows (product %zu, fuzz corpus %zu, generated %zu), %d built\n",
                run.corpus.size(), product, fuzz, run.corpus.size() - product - fuzz, built);
    std::printf("slowest build: %s, %.3f s (build, two layouts and paints, destruction)\n", slowest->label.c_str(),
                slowest->seconds);
    std::printf("largest build: %s, working set +%.1f MiB; most controls: %s, %d\n", largest->label.c_str(),
                static_cast<double>(largest->workingSetGrowth) / (1024.0 * 1024.0), mostControls->label.c_str(),
                mostControls->controls);
    std::printf("GDI objects: %d before, %d after the first pass, %d after the second (GetGuiResources: %lu, %lu)\n",
                run.gdiBefore, run.gdiAfterFirst, run.gdiAfterSecond, static_cast<unsigned long>(run.reportedBefore),
                static_cast<unsigned long>(run.reportedAfter));
    for (size_t i = 0; i < product; ++i) {
        EXPECT_TRUE(run.outcomes[i].built) << run.outcomes[i].label;
        EXPECT_FALSE(run.outcomes[i].limited) << run.outcomes[i].label << ": the product's skins fit every bound";
    }
    EXPECT_EQ(run.gdiAfterSecond, run.gdiAfterFirst) << "a pass over the corpus keeps no GDI object";
    EXPECT_LT(run.gdiAfterFirst - run.gdiBefore, 50) << "only the shared fonts stay";
    testing_support::RemoveTree(scratch);
}
