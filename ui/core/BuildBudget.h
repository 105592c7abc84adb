#pragma once

// What one window's build may ask for. A skin is outside input: a vendor
// edits it, and it may come as loose files beside the program. Without
// bounds a few lines of markup could ask for hours of work (an Include
// count of two thousand million), all of memory (a large count of a source
// that loads, a file that includes itself four times per level) or a tree
// deeper than the UI thread's stack can walk in layout, paint and
// destruction. One budget serves the builder of a window and every
// builder that its Include elements start, so the bounds hold for the tree
// as a whole, not per document.
//
// Each bound is generous for real skins: the product's windows have fewer
// than fifty controls, ten declarations, no Include and fewer than ten
// levels. Pure bookkeeping, without Windows headers, so that it builds
// natively with the markup code.

#include <cstddef>

class CBuildBudget {
public:
    // Controls one window may build.
    static constexpr int kMaxControls = 10000;
    // Runs of one Include element; a larger count is cut to this.
    static constexpr int kMaxIncludeCount = 100;
    // Include runs in one window's build, over all its documents.
    static constexpr int kMaxIncludeRuns = 1000;
    // Characters of markup parsed for one window, its own document and
    // every included one (twice the largest skin file).
    static constexpr size_t kMaxMarkupChars = 8u * 1024 * 1024;
    // Window-level declarations (fonts, images, default lists, language
    // strings) one window may make; each font or image holds GDI objects.
    static constexpr int kMaxDeclarations = 1000;
    // Levels of the built tree below its root control, which is level 1.
    static constexpr int kMaxDepth = 100;

    // The refusals, each reported once per build.
    enum Limit { kControls, kIncludeCount, kIncludeRuns, kMarkup, kDeclarations, kDepth, kLimitCount };

    // Each Take counts one more and says whether it is allowed.
    bool TakeControl() { return Take(m_controls, kMaxControls, kControls); }
    bool TakeIncludeRun() { return Take(m_includeRuns, kMaxIncludeRuns, kIncludeRuns); }
    bool TakeDeclaration() { return Take(m_declarations, kMaxDeclarations, kDeclarations); }
    bool TakeMarkup(size_t chars);
    // The count an Include element may run, never above the bound.
    int IncludeCount(int requested);
    bool AllowsDepth(int depth);

    int Controls() const { return m_controls; }
    int IncludeRuns() const { return m_includeRuns; }
    // Whether a limit has been hit in this build; each build has a budget of its own.
    bool Exceeded(Limit limit) const { return m_exceeded[limit]; }
    // True exactly once per limit, on its first refusal: the caller logs then.
    bool FirstRefusal(Limit limit);

private:
    bool Take(int& used, int bound, Limit limit);
    void Refuse(Limit limit);

    int m_controls = 0;
    int m_includeRuns = 0;
    size_t m_markupChars = 0;
    int m_declarations = 0;
    bool m_exceeded[kLimitCount] = {};
    bool m_reported[kLimitCount] = {};
};
