#include "diagnostics/Logger.h"

#include <windows.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "diagnostics/WorkFolders.h"

CLogger* g_pLogger = nullptr;

namespace {

const size_t kPathCapacity = 260;

// Appends a formatted part at pos, cutting it to what remains before limit.
// Returns the new end of the text.
size_t AppendV(wchar_t* buffer, size_t pos, size_t limit, const wchar_t* format, va_list args)
{
    if (pos >= limit) return pos;
    size_t room = limit - pos;
    int written = _vsnwprintf(buffer + pos, room, format, args);
    if (written < 0 || static_cast<size_t>(written) >= room) {
        buffer[limit - 1] = L'\0';
        return limit - 1;
    }
    return pos + static_cast<size_t>(written);
}

size_t Append(wchar_t* buffer, size_t pos, size_t limit, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    pos = AppendV(buffer, pos, limit, format, args);
    va_end(args);
    return pos;
}

}  // namespace

CLogger::CLogger(const std::wstring& folder, const std::wstring& name)
{
    Open(folder, name);
}

CLogger::~CLogger() = default;

void CLogger::Open(const std::wstring& folder, const std::wstring& name)
{
    CLockGuard guard(m_lock);
    m_file.Close();
    // Without a log folder from the shell there is nowhere to write: a bare
    // name would put the log in whatever folder is current.
    if (folder.empty()) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t path[kPathCapacity];
    int length = _snwprintf(path, kPathCapacity, L"%s%s.%4d%02d%02d.log", folder.c_str(),
                            name.c_str(), now.wYear, now.wMonth, now.wDay);
    // A path that does not fit leaves the log without a file rather than
    // writing to a cut path somewhere else.
    if (length < 0 || static_cast<size_t>(length) >= kPathCapacity) return;
    m_path = path;
    // Append-only access makes the system place each write at the current end
    // of the file; two processes seeking to the end and then writing would
    // otherwise overwrite each other's records.
    m_file.Reset(CreateFileW(path, FILE_APPEND_DATA | SYNCHRONIZE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file.IsOpen()) return;
    char header[64];
    int size = _snprintf(header, sizeof header, "\n\n\nLog begin at:%d:%d:%d\n", now.wHour,
                        now.wMinute, now.wSecond);
    // The header is UTF-16 like the records, with bare line feeds.
    wchar_t units[64];
    for (int i = 0; i < size; ++i) units[i] = static_cast<unsigned char>(header[i]);
    WriteBytes(units, size * sizeof(wchar_t));
}

void CLogger::WriteBytes(const void* data, size_t bytes)
{
    // Each record goes out in one write and reaches the system at once, so
    // nothing is held back in a buffer when the process ends abruptly.
    // Append-only handles are not enough on every system to keep two
    // processes from writing at the same end offset, so the writers of all
    // processes also take turns on a byte lock far beyond any real data,
    // where it never hinders readers of the log.
    OVERLAPPED turn{};
    turn.Offset = 0xFFFFFFF0u;
    turn.OffsetHigh = 0x7FFFFFFFu;
    bool locked = LockFileEx(m_file.Get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn) != FALSE;
    DWORD written = 0;
    WriteFile(m_file.Get(), data, static_cast<DWORD>(bytes), &written, nullptr);
    if (locked) UnlockFileEx(m_file.Get(), 0, 1, 0, &turn);
}

void CLogger::SetThreshold(int threshold)
{
    CLockGuard guard(m_lock);
    m_threshold = threshold;
}

const wchar_t* CLogger::LevelName(int level)
{
    if (level == Info) return L"Info";
    return level > Info ? L"Error" : L"Debug";
}

const char* CLogger::SourceName(const char* sourceFile)
{
    // Builds differ in the separator they put into __FILE__.
    const char* name = sourceFile;
    for (const char* p = sourceFile; *p; ++p) {
        if (*p == '\\' || *p == '/') name = p + 1;
    }
    return name;
}

size_t CLogger::FormatRecord(wchar_t* buffer, int level, const char* sourceFile, int line,
                             const wchar_t* format, va_list args)
{
    // The usable end is one unit before the buffer's end.
    const size_t limit = kRecordCapacity - 1;
    buffer[0] = L'\0';
    SYSTEMTIME now;
    GetLocalTime(&now);
    size_t pos = Append(buffer, 0, limit, L"<<%02d-%02d-%02d %02d:%02d:%02d#%s>>", now.wYear,
                        now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
                        LevelName(level));
    pos = Append(buffer, pos, limit, L"[tid:%05d] ", static_cast<int>(GetCurrentThreadId()));
    if (sourceFile) pos = Append(buffer, pos, limit, L"[%S:%d] ", SourceName(sourceFile), line);
    // Three units stay free for carriage return, line feed and the terminator.
    if (limit > pos + 3) pos = AppendV(buffer, pos, limit - 3, format, args);
    if (limit - pos > 2) {
        buffer[pos++] = L'\r';
        buffer[pos++] = L'\n';
        buffer[pos] = L'\0';
    }
    return pos;
}

void CLogger::Write(int level, const char* sourceFile, int line, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteV(level, sourceFile, line, format, args);
    va_end(args);
}

void CLogger::WriteV(int level, const char* sourceFile, int line, const wchar_t* format,
                     va_list args)
{
    if (!m_file.IsOpen() || level < m_threshold) return;
    std::vector<wchar_t> buffer(kRecordCapacity, L'\0');
    size_t length = FormatRecord(buffer.data(), level, sourceFile, line, format, args);
    CLockGuard guard(m_lock);
    WriteBytes(buffer.data(), length * sizeof(wchar_t));
}

namespace {

// The registry's lock must exist before the first log is asked for and
// outlive every caller, so it is created once and never destroyed.
struct LogRegistry {
    CCriticalSection lock;
    std::map<std::wstring, std::unique_ptr<CLogger>> logs;
};

LogRegistry& Registry()
{
    static LogRegistry* registry = new LogRegistry;
    return *registry;
}

}  // namespace

CLogger* GetLogger(const std::wstring& name)
{
    LogRegistry& registry = Registry();
    CLockGuard guard(registry.lock);
    std::unique_ptr<CLogger>& log = registry.logs[name];
    if (!log) log.reset(new CLogger(GetLogFolder(), name));
    return log.get();
}
