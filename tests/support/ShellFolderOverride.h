#pragma once

// Test helper: one of the shell's folders of this user pointed elsewhere
// for one scope.

#include <windows.h>

#include <cwchar>
#include <string>

// Points one of the shell's folders of this user elsewhere for one scope,
// the way a broken profile or a policy does, and puts it back afterwards.
class CShellFolderOverride {
public:
    CShellFolderOverride(const wchar_t* name, const wchar_t* path) : m_name(name)
    {
        const wchar_t* keys[] = {kUser, kShell};
        for (int i = 0; i < 2; ++i) {
            wchar_t old[MAX_PATH] = {};
            DWORD size = sizeof old;
            m_had[i] = RegGetValueW(HKEY_CURRENT_USER, keys[i], name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ |
                                    RRF_NOEXPAND, nullptr, old, &size) == ERROR_SUCCESS;
            m_old[i] = old;
            RegSetKeyValueW(HKEY_CURRENT_USER, keys[i], name, REG_SZ, path,
                            static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t)));
        }
    }
    ~CShellFolderOverride()
    {
        const wchar_t* keys[] = {kUser, kShell};
        for (int i = 0; i < 2; ++i) {
            if (!m_had[i]) {
                RegDeleteKeyValueW(HKEY_CURRENT_USER, keys[i], m_name);
                continue;
            }
            RegSetKeyValueW(HKEY_CURRENT_USER, keys[i], m_name, i == 0 ? REG_EXPAND_SZ : REG_SZ, m_old[i].c_str(),
                            static_cast<DWORD>((m_old[i].size() + 1) * sizeof(wchar_t)));
        }
    }

private:
    static constexpr const wchar_t* kUser = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    static constexpr const wchar_t* kShell = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const wchar_t* m_name;
    bool m_had[2] = {};
    std::wstring m_old[2];
};

