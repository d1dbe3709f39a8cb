#include "PrintingParts.h"

#include "AppContext.h"
#include "Image.h"
#include "PageLabels.h"
#include "Paper.h"
#include "PrintQueue.h"
#include "Printer.h"
#include "SignData.h"

void RegisterPrintingSignParts()
{
    CSignHooks& hooks = SignHooks();
    hooks.parts[SIGN_PART_PRINTER] = {[](CArchive& ar) { ThePrinter().Serialize(ar); },
                                      [](CTextExportFile& f) { ThePrinter().WriteXml(f); }};
    hooks.parts[SIGN_PART_PAPER] = {[](CArchive& ar) { ThePaper().Serialize(ar); },
                                    [](CTextExportFile& f) { ThePaper().WriteXml(f); }};
    hooks.parts[SIGN_PART_PAGE_LABELS] = {[](CArchive& ar) { ThePageLabels().Serialize(ar); },
                                          [](CTextExportFile& f) { ThePageLabels().WriteXml(f); }};
    // The picture element sizes itself to the sign and turns a background
    // picture with the stock and the page.
    CPictureHooks& pictures = PictureHooks();
    pictures.signSize = [] {
        return ThePaper().Current() ? CSize(ThePaper().GetSignWidth(), ThePaper().GetSignHeight())
                                    : CSize(2100, 2970);
    };
    pictures.backgroundOrientation = [] {
        const CPaperStock* stock = ThePaper().Current();
        return stock && !stock->backgroundImage.isEmpty() ? stock->backgroundOrientation : 0;
    };
    pictures.pageOrientation = [] { return ThePrinter().IsLandscape() ? 2 : 1; };
    // A printer's EndJob with no job open hands the pending queue job over.
    CPrinter::s_submitQueue = [] {
        CPrintQueue* queue = App().Find<CPrintQueue>();
        return queue && queue->IsPending() ? queue->Submit() : TRUE;
    };
}
