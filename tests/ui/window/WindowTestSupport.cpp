#include "tests/ui/window/WindowTestSupport.h"

#include <zlib.h>

#include <map>

#include "tests/support/TestSupport.h"

namespace window_tests {

SkinFolder::SkinFolder() : m_path(testing_support::TestProgramFolder() + Relative() + L"\\")
{
    testing_support::RemoveTree(m_path);
    CreateDirectoryW(m_path.c_str(), nullptr);
}

SkinFolder::~SkinFolder() { testing_support::RemoveTree(m_path); }

void SkinFolder::Write(const std::wstring& name, const std::wstring& text) const
{
    testing_support::WriteBytes(m_path + name, Utf8(text));
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

namespace {

void Put16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string out, directory;
    for (const auto& [name, data] : entries) {
        const uint32_t offset = static_cast<uint32_t>(out.size());
        const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
        const uint32_t size = static_cast<uint32_t>(data.size());
        Put32(out, 0x04034b50);
        Put16(out, 10);
        Put16(out, 0);   // flags: no UTF-8 bit
        Put16(out, 0);   // stored
        Put32(out, 0);   // time and date
        Put32(out, crc);
        Put32(out, size);
        Put32(out, size);
        Put16(out, static_cast<uint32_t>(name.size()));
        Put16(out, 0);
        out += name;
        out += data;

        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 10);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, crc);
        Put32(directory, size);
        Put32(directory, size);
        Put16(directory, static_cast<uint32_t>(name.size()));
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, offset);
        directory += name;
    }
    const uint32_t directoryOffset = static_cast<uint32_t>(out.size());
    out += directory;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put32(out, static_cast<uint32_t>(directory.size()));
    Put32(out, directoryOffset);
    Put16(out, 0);
    return out;
}

HWND TestWindow::CreatePopup(HWND owner, int x, int y, int width, int height)
{
    // Hidden: under Wine without a window manager, hiding or destroying a
    // mapped window waits two seconds for the X server.
    return Create(owner, L"test window", WS_POPUP, 0, x, y, width, height);
}

namespace {

ModalGuard* g_guard = nullptr;

struct Pending {
    void (*fn)(void*);
    void* data;
};
std::map<UINT_PTR, Pending>& PendingCalls()
{
    static std::map<UINT_PTR, Pending> calls;
    return calls;
}

void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto it = PendingCalls().find(id);
    if (it == PendingCalls().end()) return;
    Pending call = it->second;
    PendingCalls().erase(it);
    call.fn(call.data);
}

}  // namespace

ModalGuard::ModalGuard(HWND window, UINT milliseconds) : m_window(window)
{
    g_guard = this;
    m_timer = SetTimer(nullptr, 0, milliseconds, &ModalGuard::Tick);
}

ModalGuard::~ModalGuard()
{
    KillTimer(nullptr, m_timer);
    g_guard = nullptr;
}

void CALLBACK ModalGuard::Tick(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (!g_guard) return;
    g_guard->m_fired = true;
    if (IsWindow(g_guard->m_window)) DestroyWindow(g_guard->m_window);
}

void After(UINT milliseconds, void (*fn)(void*), void* data)
{
    UINT_PTR id = SetTimer(nullptr, 0, milliseconds, &RunPending);
    PendingCalls()[id] = Pending{fn, data};
}

}  // namespace window_tests
