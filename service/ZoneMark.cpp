#include "service/ZoneMark.h"

#include <windows.h>

#include "base/FileHandle.h"
#include "base/StringConvert.h"

std::string CZoneMark::Text(const std::wstring& url)
{
    std::wstring plain;
    for (wchar_t c : url)
        if (c >= 0x20 && c != 0x7F) plain += c;
    return "[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=" + WideToUtf8(plain) + "\r\n";
}

bool CZoneMark::Write(const std::wstring& path, const std::wstring& url, unsigned long& error)
{
    error = 0;
    std::string text = Text(url);
    CFileHandle stream(CreateFileW(StreamPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!stream.IsOpen()) {
        error = GetLastError();
        return false;
    }
    DWORD written = 0;
    if (!WriteFile(stream.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        error = GetLastError();
        return false;
    }
    return true;
}

bool CZoneMark::Read(const std::wstring& path, std::string& text)
{
    text.clear();
    CFileHandle stream(CreateFileW(StreamPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!stream.IsOpen()) return false;
    char chunk[1024];
    DWORD got = 0;
    while (ReadFile(stream.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
    return true;
}
