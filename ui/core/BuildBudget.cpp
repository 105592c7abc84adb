#include "ui/core/BuildBudget.h"

bool CBuildBudget::Take(int& used, int bound, Limit limit)
{
    if (used >= bound) {
        Refuse(limit);
        return false;
    }
    ++used;
    return true;
}

void CBuildBudget::Refuse(Limit limit) { m_exceeded[limit] = true; }

bool CBuildBudget::TakeMarkup(size_t chars)
{
    if (chars > kMaxMarkupChars - m_markupChars) {
        Refuse(kMarkup);
        return false;
    }
    m_markupChars += chars;
    return true;
}

int CBuildBudget::IncludeCount(int requested)
{
    if (requested <= kMaxIncludeCount) return requested;
    Refuse(kIncludeCount);
    return kMaxIncludeCount;
}

bool CBuildBudget::AllowsDepth(int depth)
{
    if (depth <= kMaxDepth) return true;
    Refuse(kDepth);
    return false;
}

bool CBuildBudget::FirstRefusal(Limit limit)
{
    if (!m_exceeded[limit] || m_reported[limit]) return false;
    m_reported[limit] = true;
    return true;
}
