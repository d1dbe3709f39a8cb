#include "PrintingParts.h"

#include "AppContext.h"
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
    // A printer's EndJob with no job open hands the pending queue job over.
    CPrinter::s_submitQueue = [] {
        CPrintQueue* queue = App().Find<CPrintQueue>();
        return queue && queue->IsPending() ? queue->Submit() : TRUE;
    };
}
