#pragma once

#include <windows.h>

#include <cstddef>
#include <ctime>
#include <string>

// Crash handling: an exception that nothing handles, on any thread, ends in
// a minidump in the working folder's dump\ sub-folder, a few log lines and
// exit code 1. Run-time library failures are routed into the same path.
//
// Threads: start-up installs everything once on the main thread before any
// worker exists. The filter then runs on whichever thread faulted while the
// others keep running; it takes no lock of its own (the log locks each
// record) and reads only the dump folder copy, which is never changed again.

// Keeps the copy of the dump folder that the filter reads; start-up calls it
// before installing the filter, so the filter never computes paths.
void SetDumpFolderCopy(const std::wstring& folder);
const std::wstring& DumpFolderCopy();

// "minidump_YYYYMMDD_HHMMSS.dmp" for the given local time, or "minidump.dmp"
// without one. Returns the number of units written (the name always fits a
// buffer of kDumpNameCapacity units).
const size_t kDumpNameCapacity = 100;
size_t FormatDumpFileName(wchar_t* buffer, size_t capacity, const std::tm* localTime);

// The process's unhandled-exception filter. It never returns.
LONG WINAPI CrashDumpFilter(EXCEPTION_POINTERS* pointers);

// Makes every later SetUnhandledExceptionFilter call of this process, by any
// module, change nothing and return null.
void ProtectUnhandledExceptionFilter();

// Registers the filter, silences the run-time library's own fault report,
// routes its invalid-parameter and pure-virtual-call failures into the
// filter and finally protects the filter.
void InstallCrashHandling();
