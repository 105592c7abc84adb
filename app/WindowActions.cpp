#include "app/WindowActions.h"

#include <windows.h>

#include <shellapi.h>


void TraceNotification(const NotifyMsg& msg)
{
    std::wstring line = msg.type + L"\t\t" + (msg.sender ? msg.sender->GetName() : std::wstring()) + L"\r\n";
    OutputDebugStringW(line.c_str());
}

void OpenThroughShell(const std::wstring& target)
{
    ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOW);
}
