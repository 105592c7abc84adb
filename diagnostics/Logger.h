#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#include "base/CriticalSection.h"
#include "base/FileHandle.h"

enum LogLevel {
    Debug = 1,
    Info = 2,
    Error = 3,
};

// One log file per process start, in UTF-16LE, one record a line.
//
// Threads: any thread may call Write. A record is formatted in the caller's
// own buffer without any lock; only writing and flushing the finished record
// runs under m_lock, so records never interleave. The threshold is read
// without the lock and set by start-up while holding it.
class CLogger {
public:
    static const int kRecordCapacity = 5000;

    // Opens (appending) "<folder><name>.YYYYMMDD.log"; without a file the log stays silent.
    CLogger(const std::wstring& folder, const std::wstring& name);
    ~CLogger();
    CLogger(const CLogger&) = delete;
    CLogger& operator=(const CLogger&) = delete;

    void Write(int level, const char* sourceFile, int line, const wchar_t* format, ...);
    void WriteV(int level, const char* sourceFile, int line, const wchar_t* format, va_list args);

    void SetThreshold(int threshold);
    int Threshold() const { return m_threshold; }
    bool HasFile() const { return m_file.IsOpen(); }
    const std::wstring& Path() const { return m_path; }

    // Formats one record (without writing it) into buffer, which holds
    // kRecordCapacity units; returns the number of units of text.
    static size_t FormatRecord(wchar_t* buffer, int level, const char* sourceFile, int line,
                               const wchar_t* format, va_list args);
    static const wchar_t* LevelName(int level);
    static const char* SourceName(const char* sourceFile);

private:
    void Open(const std::wstring& folder, const std::wstring& name);
    void WriteBytes(const void* data, size_t bytes);

    int m_threshold = Debug;
    CCriticalSection m_lock;
    // Opened for appending only, so that every write lands at the end of the
    // file even while another process appends to it too.
    CFileHandle m_file;
    std::wstring m_path;
};

// The registry of logs by name; the program uses the one named "installer".
CLogger* GetLogger(const std::wstring& name);

// The process-wide log every module writes through; null until start-up opens it.
extern CLogger* g_pLogger;

#define LOG_AT(level, ...)                                                 \
    do {                                                                   \
        if (g_pLogger) g_pLogger->Write((level), __FILE__, __LINE__, __VA_ARGS__); \
    } while (0)
#define LOG_DEBUG(...) LOG_AT(Debug, __VA_ARGS__)
#define LOG_INFO(...) LOG_AT(Info, __VA_ARGS__)
#define LOG_ERROR(...) LOG_AT(Error, __VA_ARGS__)
