#include "ui/core/NotifyPump.h"

#include <cwchar>

#include "ui/controls/ControlUI.h"

namespace {

const NotifyMapEntry kNoEntries[] = {{nullptr, nullptr, 0, nullptr, nullptr}};
const NotifyMap kNoMap{nullptr, kNoEntries};

}  // namespace

const NotifyMap* CNotifyPump::StaticNotifyMap() { return &kNoMap; }

const NotifyMap* CNotifyPump::GetNotifyMap() const { return &kNoMap; }

bool CNotifyPump::AddVirtualWnd(const std::wstring& name, CNotifyPump* pump)
{
    if (!pump || name.empty()) return false;
    return m_virtualWindows.emplace(name, pump).second;
}

bool CNotifyPump::RemoveVirtualWnd(const std::wstring& name) { return m_virtualWindows.erase(name) > 0; }

void CNotifyPump::NotifyPump(NotifyMsg& msg)
{
    if (!msg.virtualWindowName.empty()) {
        for (auto& [name, pump] : m_virtualWindows) {
            if (_wcsicmp(name.c_str(), msg.virtualWindowName.c_str()) == 0) {
                if (pump->LoopDispatch(msg)) return;
                break;
            }
        }
    }
    LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(NotifyMsg& msg)
{
    const std::wstring senderName = msg.sender ? msg.sender->GetName() : std::wstring();
    for (const NotifyMap* map = GetNotifyMap(); map; map = map->base) {
        // An entry for the sender by name wins; otherwise the last entry
        // for any control of this map.
        const NotifyMapEntry* chosen = nullptr;
        for (const NotifyMapEntry* entry = map->entries; entry->kind != 0; ++entry) {
            if (msg.type != entry->type) continue;
            if (!entry->controlName || !entry->controlName[0]) {
                chosen = entry;
            } else if (msg.sender && senderName == entry->controlName) {
                chosen = entry;
                break;
            }
        }
        if (!chosen) continue;
        if (chosen->kind == 1)
            (this->*chosen->params)(msg.wParam, msg.lParam);
        else
            (this->*chosen->message)(msg);
        return true;
    }
    return false;
}
