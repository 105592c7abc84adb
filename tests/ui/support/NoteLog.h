#pragma once

// The notifications a test window received, in the order they came, so a
// test can ask how many of a kind arrived and what the last one carried.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/core/ManagerInterfaces.h"

namespace ui_test {

struct Note {
    std::wstring type;
    CControlUI* sender = nullptr;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class NoteLog {
public:
    void Record(const NotifyMsg& msg) { m_notes.push_back(Note{msg.type, msg.sender, msg.wParam, msg.lParam}); }
    const std::vector<Note>& Notes() const { return m_notes; }
    void ClearNotes() { m_notes.clear(); }

    // Of one type; from one sender when one is given.
    int Count(const std::wstring& type, CControlUI* sender = nullptr) const
    {
        int count = 0;
        for (const Note& note : m_notes)
            if (note.type == type && (!sender || note.sender == sender)) ++count;
        return count;
    }
    const Note* Last(const std::wstring& type) const
    {
        for (auto it = m_notes.rbegin(); it != m_notes.rend(); ++it)
            if (it->type == type) return &*it;
        return nullptr;
    }

private:
    std::vector<Note> m_notes;
};

}  // namespace ui_test
