#pragma once

// A loan of a list owner's items to another container, the layout of a
// popup window with its own manager. While the loan lasts the items belong
// to the borrower's tree only: the lender's list is empty, so nothing of
// the lender's general container code (painting, hit tests, placement)
// walks controls whose rectangles are in the popup's coordinates. The
// lender keeps ownership and reaches its items through the loan
// (Borrower()), adding and removing them there.
//
// Giving back happens in the destructor, on every path by which a popup
// ends: the item under the popup's pointer gets its mouse leave, the
// popup's manager forgets every item and the items give back the images
// of its cache, and the items return to the lender's list in their current
// order, with the lender's manager and the lender as parent.
//
// UI thread only, like every toolkit object.

#include <vector>

class CContainerUI;
class CControlUI;

class CItemLoan {
public:
    // Moves every control of lenderItems into the borrower, which must not
    // own children; lenderItems is left empty until the loan ends.
    CItemLoan(CContainerUI& lender, std::vector<CControlUI*>& lenderItems, CContainerUI& borrower);
    ~CItemLoan();
    CItemLoan(const CItemLoan&) = delete;
    CItemLoan& operator=(const CItemLoan&) = delete;

    // Where the lent items are now, in the lender's order.
    CContainerUI& Borrower() const { return m_borrower; }
    // A new item of the lender joins the loan at index.
    bool AddAt(CControlUI* item, int index);
    // One item comes back into the lender's list early, for the lender to
    // remove it with its general code; false when it is not on loan.
    bool Recall(CControlUI* item);

private:
    // Everything of the borrower's manager that still points into item's
    // subtree is let go: hover (with its mouse leave), focus, capture,
    // timers, names and the images of its cache.
    void Release(CControlUI* item);
    // The item belongs to the lender again, placed out of sight.
    void Restore(CControlUI* item);

    CContainerUI& m_lender;
    std::vector<CControlUI*>& m_lenderItems;
    CContainerUI& m_borrower;
};
