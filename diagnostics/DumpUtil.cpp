#include "diagnostics/DumpUtil.h"

#include "base/FileHandle.h"

#include <dbghelp.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <exception>

#include "diagnostics/Logger.h"

namespace {

std::wstring g_dumpFolderCopy;

// Exception code raised when a C++ exception escapes everything. The GNU
// run-time library ends such an exception in std::terminate instead of
// handing it to the system, so the terminate handler raises this code to
// reach the filter the way the design expects.
const DWORD kUncaughtCppException = 0xE0000001;

const size_t kDumpPathCapacity = MAX_PATH + kDumpNameCapacity;

// The run-time library's handler signatures, declared here because the
// headers only offer them where the library itself provides the setters.
using InvalidParameterHandler = void(__cdecl*)(const wchar_t*, const wchar_t*, const wchar_t*,
                                               unsigned int, uintptr_t);
using PureCallHandler = void(__cdecl*)();
using SetInvalidParameterHandlerFn = InvalidParameterHandler(__cdecl*)(InvalidParameterHandler);
using SetPureCallHandlerFn = PureCallHandler(__cdecl*)(PureCallHandler);
using SetAbortBehaviorFn = unsigned int(__cdecl*)(unsigned int, unsigned int);
using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                          PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION,
                                          PMINIDUMP_CALLBACK_INFORMATION);

const unsigned int kCallReportFault = 0x2;  // _CALL_REPORTFAULT

// The filter ends the process through exit(), which runs no destructors of
// its frame, so it closes the dump file explicitly before leaving.
using CDumpFile = CFileHandle;

class CLibrary {
public:
    explicit CLibrary(HMODULE module) : m_module(module) {}
    ~CLibrary() { Free(); }
    CLibrary(const CLibrary&) = delete;
    CLibrary& operator=(const CLibrary&) = delete;
    HMODULE Get() const { return m_module; }
    void Reset(HMODULE module)
    {
        Free();
        m_module = module;
    }
    void Free()
    {
        if (m_module) FreeLibrary(m_module);
        m_module = nullptr;
    }

private:
    HMODULE m_module;
};

template <class T>
T LookUp(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

HMODULE RuntimeLibrary() { return GetModuleHandleW(L"msvcrt.dll"); }

// The full path of a DLL in the system folder or in the executable's own
// folder, in a fixed buffer (the heap may be what failed); an empty text
// when the folder cannot be learnt, which no load can succeed with.
const wchar_t* LibraryPath(wchar_t* buffer, size_t capacity, bool besideExecutable, const wchar_t* name)
{
    buffer[0] = 0;
    DWORD length = besideExecutable ? GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(capacity))
                                    : GetSystemDirectoryW(buffer, static_cast<UINT>(capacity));
    if (length == 0 || length >= capacity) {
        buffer[0] = 0;
        return buffer;
    }
    if (besideExecutable) {
        wchar_t* slash = wcsrchr(buffer, L'\\');
        if (!slash) {
            buffer[0] = 0;
            return buffer;
        }
        slash[1] = 0;
    } else if (buffer[length - 1] != L'\\') {
        wcsncat(buffer, L"\\", capacity - wcslen(buffer) - 1);
    }
    if (wcslen(buffer) + wcslen(name) >= capacity) {
        buffer[0] = 0;
        return buffer;
    }
    wcscat(buffer, name);
    return buffer;
}

// The machine code of the two patches differs by architecture: a 32-bit
// function takes its argument on the stack and pops it (stdcall), a 64-bit
// one in a register; a 32-bit jump reaches any address with a relative
// offset, a 64-bit one only within 2 GB, so it goes through a register.
#if defined(__x86_64__) || defined(_M_X64)
// xor eax, eax (clears all of rax); ret
const unsigned char kReturnNull[] = {0x33, 0xC0, 0xC3};
const size_t kJumpSize = 12;
// mov rax, imm64; jmp rax
void MakeJump(unsigned char (&code)[kJumpSize], const unsigned char*, uintptr_t target)
{
    code[0] = 0x48;
    code[1] = 0xB8;
    uint64_t address = target;
    memcpy(code + 2, &address, sizeof address);
    code[10] = 0xFF;
    code[11] = 0xE0;
}
#elif defined(__i386__) || defined(_M_IX86)
// xor eax, eax; ret 4
const unsigned char kReturnNull[] = {0x33, 0xC0, 0xC2, 0x04, 0x00};
const size_t kJumpSize = 5;
// jmp rel32, counted from the end of the instruction
void MakeJump(unsigned char (&code)[kJumpSize], const unsigned char* at, uintptr_t target)
{
    code[0] = 0xE9;
    auto offset = static_cast<int32_t>(target - (reinterpret_cast<uintptr_t>(at) + kJumpSize));
    memcpy(code + 1, &offset, sizeof offset);
}
#else
#error "the crash handling patches x86 code only"
#endif

// Overwrites the first bytes of a function in this process's own code,
// keeping the page's protection as it was.
void PatchCode(void* target, const unsigned char* bytes, size_t size)
{
    DWORD oldProtection = 0;
    if (!VirtualProtect(target, size, PAGE_EXECUTE_READWRITE, &oldProtection)) return;
    WriteProcessMemory(GetCurrentProcess(), target, bytes, size, nullptr);
    VirtualProtect(target, size, oldProtection, &oldProtection);
    FlushInstructionCache(GetCurrentProcess(), target, size);
}

// Nothing catches this throw: it ends in std::terminate and from there in
// the filter.
void __cdecl ThrowOnInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*, unsigned int,
                                     uintptr_t)
{
    throw 1;
}

void __cdecl ThrowOnPureCall() { throw 1; }

[[noreturn]] void RaiseUncaughtException()
{
    RaiseException(kUncaughtCppException, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    // A non-continuable exception never comes back; should a debugger let
    // it, the process still must not go on.
    exit(1);
}

// The run-time library's invalid-parameter handler. Libraries that cannot
// set it (Wine's msvcrt, the one of Windows XP) report invalid parameters
// through their exported _invalid_parameter, whose entry is then made to
// jump to the handler: the same kind of patch that protects the filter.
void RouteInvalidParameters()
{
    HMODULE crt = RuntimeLibrary();
    auto setHandler = LookUp<SetInvalidParameterHandlerFn>(crt, "_set_invalid_parameter_handler");
    if (setHandler) {
        setHandler(ThrowOnInvalidParameter);
        return;
    }
    auto* entry = LookUp<unsigned char*>(crt, "_invalid_parameter");
    if (!entry) return;
    unsigned char jump[kJumpSize];
    MakeJump(jump, entry, reinterpret_cast<uintptr_t>(&ThrowOnInvalidParameter));
    PatchCode(entry, jump, sizeof jump);
}

}  // namespace

// GCC's virtual tables name __cxa_pure_virtual for pure functions, but only
// through weak references, which this static build leaves at address zero:
// a pure call would jump there. Defining it gives such a call the run-time
// library's failure path, as _set_purecall_handler does for MSVC code.
extern "C" void __cxa_pure_virtual() { ThrowOnPureCall(); }

void SetDumpFolderCopy(const std::wstring& folder) { g_dumpFolderCopy = folder; }

const std::wstring& DumpFolderCopy() { return g_dumpFolderCopy; }

size_t FormatDumpFileName(wchar_t* buffer, size_t capacity, const std::tm* localTime)
{
    if (capacity == 0) return 0;
    int written;
    if (localTime) {
        written = _snwprintf(buffer, capacity, L"minidump_%04d%02d%02d_%02d%02d%02d.dmp",
                             localTime->tm_year + 1900, localTime->tm_mon + 1, localTime->tm_mday,
                             localTime->tm_hour, localTime->tm_min, localTime->tm_sec);
    } else {
        written = _snwprintf(buffer, capacity, L"minidump.dmp");
    }
    if (written < 0 || static_cast<size_t>(written) >= capacity) {
        buffer[capacity - 1] = L'\0';
        return capacity - 1;
    }
    return static_cast<size_t>(written);
}

LONG WINAPI CrashDumpFilter(EXCEPTION_POINTERS* pointers)
{
    // 1. Say that the process is failing.
    LOG_DEBUG(L"catch an unhandle exception");

    // 2. and 3. The dump is named after the local time of the crash. Fixed
    // buffers only: the heap may be what failed.
    wchar_t name[kDumpNameCapacity];
    std::time_t now = std::time(nullptr);
    const std::tm* local = now == static_cast<std::time_t>(-1) ? nullptr : std::localtime(&now);
    FormatDumpFileName(name, kDumpNameCapacity, local);
    wchar_t path[kDumpPathCapacity];
    _snwprintf(path, kDumpPathCapacity, L"%s%s", g_dumpFolderCopy.c_str(), name);
    path[kDumpPathCapacity - 1] = L'\0';
    LOG_DEBUG(L"dump file path = %s", path);

    // 4. The file, anew even if one of that name exists. Without a dump
    // folder the bare name would land in the current folder: no dump then.
    CDumpFile file(g_dumpFolderCopy.empty()
                       ? INVALID_HANDLE_VALUE
                       : CreateFileW(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        LOG_ERROR(L"failed to create dump file %s", path);
        exit(1);
    }

    // 5. The system's debug-help library first, then one shipped beside us,
    // each by its full path: a bare name would also find a DLL that another
    // program dropped beside setup.exe (a downloads folder).
    wchar_t library[kDumpPathCapacity];
    CLibrary dbghelp(LoadLibraryW(LibraryPath(library, kDumpPathCapacity, false, L"DBGHELP.DLL")));
    if (!dbghelp.Get()) {
        LOG_DEBUG(L"failed to load system dbghelp dll");
        dbghelp.Reset(LoadLibraryW(LibraryPath(library, kDumpPathCapacity, true, L"DBGHELP2.DLL")));
        if (!dbghelp.Get()) {
            LOG_ERROR(L"failed to load local dbghelp dll, error=%d", static_cast<int>(GetLastError()));
            file.Close();
            exit(1);
        }
    }

    // 6. The dump itself, naming the faulting thread and its exception.
    auto writeDump = LookUp<MiniDumpWriteDumpFn>(dbghelp.Get(), "MiniDumpWriteDump");
    if (!writeDump) {
        LOG_ERROR(L"failed to get MiniDumpWriteDump function address");
    } else {
        MINIDUMP_EXCEPTION_INFORMATION exception;
        exception.ThreadId = GetCurrentThreadId();
        exception.ExceptionPointers = pointers;
        exception.ClientPointers = TRUE;
        if (!writeDump(GetCurrentProcess(), GetCurrentProcessId(), file.Get(), MiniDumpNormal,
                       &exception, nullptr, nullptr))
            LOG_ERROR(L"failed to write mini dump to file, error=%d", static_cast<int>(GetLastError()));
    }

    // 7. The normal exit flushes and closes every open file, the log included.
    LOG_DEBUG(L"exit process because of exception");
    file.Close();
    dbghelp.Free();
    exit(1);
}

void ProtectUnhandledExceptionFilter()
{
    // 1. to 4. The function returns no previous filter and sets nothing.
    HMODULE kernel32 = LoadLibraryW(L"kernel32.dll");
    if (!kernel32) return;
    void* target = LookUp<void*>(kernel32, "SetUnhandledExceptionFilter");
    if (target) PatchCode(target, kReturnNull, sizeof kReturnNull);
    FreeLibrary(kernel32);
}

void InstallCrashHandling()
{
    // 1. The filter.
    SetUnhandledExceptionFilter(CrashDumpFilter);

    // 2. An abort must not call the system's error reporting. Libraries
    // without the setter (Wine's msvcrt) do not report faults on abort.
    HMODULE crt = RuntimeLibrary();
    if (auto setAbortBehavior = LookUp<SetAbortBehaviorFn>(crt, "_set_abort_behavior"))
        setAbortBehavior(0, kCallReportFault);

    // 3. Run-time library failures throw the integer 1. Code built by GCC
    // calls __cxa_pure_virtual rather than the library's _purecall, and both
    // that and an uncaught throw end in std::terminate, which therefore
    // raises an exception that only the filter handles.
    RouteInvalidParameters();
    if (auto setPureCall = LookUp<SetPureCallHandlerFn>(crt, "_set_purecall_handler"))
        setPureCall(ThrowOnPureCall);
    std::set_terminate(RaiseUncaughtException);

    // 4. Nobody replaces the filter afterwards.
    ProtectUnhandledExceptionFilter();
}
