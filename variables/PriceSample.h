// A price drawn live in the price dialogs: copy-fit and centred, so that it
// fills the dialog's sample box, with the part being edited highlighted.
// It draws with a working format (the record a dialog edits) or with the
// element's own.
#pragma once

#include "PriceField.h"

class CDC;

class CPriceSample : public CPriceField
{
public:
    // A new price's defaults, drawn with the format.
    explicit CPriceSample(const CPriceFormat* format);
    // A copy of the element at 0, 0, upright and not crossed out.
    explicit CPriceSample(const CPriceField& element);

    // The format the sample draws with; null: the element's own.
    void SetWorkingFormat(const CPriceFormat* format);
    // The sample box, in the units the sample is drawn in; the sample is
    // laid out again to fill it.
    void SetWindowRect(const CRect& rect);
    // The price shown, laid out again with the format's rules.
    void ShowPrice(const QString& text);
    // Every part black on no background, and the part (0..4) red; -1 none.
    void HighlightPart(int index);
    // Applies the format's rules and lays out again (after the format changed).
    void Reapply();
    // Draws the sample into the box set last.
    void Paint(CDC* dc);

private:
    void MakeSample();
};
