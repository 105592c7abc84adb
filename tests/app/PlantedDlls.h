#pragma once

// Makes Wine load DLLs the way Windows does for the named programs: a DLL
// found beside the program (or on its search path) wins over Wine's own.
// By default Wine prefers its builtin copies, so a DLL planted beside a
// program would never be loaded and a planting test could not fail. The
// preference is Wine's per-program registry setting, which a program reads
// when it starts; it is removed again at the end of the scope. Windows
// itself ignores the key.

#include <windows.h>

#include <string>
#include <vector>

class CPreferPlantedDlls {
public:
    CPreferPlantedDlls(const std::vector<std::wstring>& programs, const std::vector<std::wstring>& dlls)
        : m_programs(programs)
    {
        for (const std::wstring& program : m_programs) {
            std::wstring key = Key(program);
            for (const std::wstring& dll : dlls) {
                std::wstring stem = dll.substr(0, dll.find(L'.'));
                RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), stem.c_str(), REG_SZ, L"native,builtin",
                                sizeof L"native,builtin");
            }
        }
    }
    ~CPreferPlantedDlls()
    {
        for (const std::wstring& program : m_programs)
            RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Wine\\AppDefaults\\" + program).c_str());
    }
    CPreferPlantedDlls(const CPreferPlantedDlls&) = delete;
    CPreferPlantedDlls& operator=(const CPreferPlantedDlls&) = delete;

private:
    static std::wstring Key(const std::wstring& program)
    {
        return L"Software\\Wine\\AppDefaults\\" + program + L"\\DllOverrides";
    }
    std::vector<std::wstring> m_programs;
};
