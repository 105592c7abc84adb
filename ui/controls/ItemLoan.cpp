#include "ui/controls/ItemLoan.h"

#include "ui/controls/ContainerUI.h"
#include "ui/core/WindowManagerUI.h"

CItemLoan::CItemLoan(CContainerUI& lender, std::vector<CControlUI*>& lenderItems, CContainerUI& borrower)
    : m_lender(lender), m_lenderItems(lenderItems), m_borrower(borrower)
{
    std::vector<CControlUI*> items;
    items.swap(m_lenderItems);
    // The lender owns them throughout: the borrower must never delete one.
    m_borrower.SetOwnsChildren(false);
    for (CControlUI* item : items) m_borrower.Add(item);
}

CItemLoan::~CItemLoan()
{
    std::vector<CControlUI*> items;
    for (int i = 0; i < m_borrower.GetCount(); ++i) items.push_back(m_borrower.GetItemAt(i));
    for (CControlUI* item : items) Release(item);
    m_borrower.RemoveAll();
    for (CControlUI* item : items) Restore(item);
    // Items recalled early and not yet removed by the lender stay behind
    // the returned ones.
    items.insert(items.end(), m_lenderItems.begin(), m_lenderItems.end());
    m_lenderItems.swap(items);
}

bool CItemLoan::AddAt(CControlUI* item, int index) { return m_borrower.AddAt(item, index); }

bool CItemLoan::Recall(CControlUI* item)
{
    if (m_borrower.GetItemIndex(item) < 0) return false;
    Release(item);
    m_borrower.Remove(item);
    Restore(item);
    m_lenderItems.push_back(item);
    return true;
}

void CItemLoan::Release(CControlUI* item)
{
    CWindowManagerUI* manager = m_borrower.GetManager();
    if (!manager) return;
    item->FindControl(
        [](CControlUI* c, void* data) -> CControlUI* {
            auto* manager = static_cast<CWindowManagerUI*>(data);
            if (c->GetManager() != manager) return nullptr;
            // The popup's own close would have told the control under its
            // pointer that the pointer left; once forgotten it never can.
            if (manager->GetHover() == c) {
                manager->ForgetControl(c);
                ControlEvent leave;
                leave.type = UIEVENT_MOUSELEAVE;
                leave.sender = c;
                leave.timeStamp = GetTickCount();
                leave.mousePoint = manager->GetMousePos();
                c->HandleEvent(leave);
            }
            manager->ForgetControl(c);
            c->ReleaseImages();
            return nullptr;
        },
        manager, 0);
}

void CItemLoan::Restore(CControlUI* item)
{
    item->SetManager(m_lender.GetManager(), &m_lender, false);
    item->SetPos(RECT{0, 0, 0, 0}, false);
}
