#include "PaneParts.h"

#include "ArcText.h"
#include "ArcTextView.h"
#include "Barcode.h"
#include "BarcodeView.h"
#include "Box.h"
#include "DataMatrix.h"
#include "DesignView.h"
#include "GS1DataBar.h"
#include "ImageView.h"
#include "Line.h"
#include "MainFrame.h"
#include "MatrixSymbolViews.h"
#include "PriceField.h"
#include "PriceView.h"
#include "SettingsView.h"
#include "ShapeViews.h"
#include "Symbol.h"
#include "SymbolView.h"
#include "Table.h"
#include "TableView.h"
#include "Text.h"
#include "TextView.h"

void RegisterPanes()
{
    CMainFrame::RegisterPaneCreator(TYPE_LINE, [](CElement* element) -> QWidget* {
        auto* line = dynamic_cast<CLine*>(element);
        return line ? new CLineView(line) : nullptr;
    });
    const PaneCreator box = [](CElement* element) -> QWidget* {
        auto* shape = dynamic_cast<CBox*>(element);
        return shape ? new CBoxView(shape) : nullptr;
    };
    CMainFrame::RegisterPaneCreator(TYPE_BOX, box);
    // The linear and postal barcodes share one pane; the two-dimensional
    // and GS1 symbols have panes of their own.
    CMainFrame::RegisterPaneCreator(TYPE_BARCODE, [](CElement* element) -> QWidget* {
        auto* barcode = dynamic_cast<CBarcode*>(element);
        if (!barcode)
            return nullptr;
        if (CBarcodeView::EditsSymbology(barcode->GetSymbologyId()))
            return new CBarcodeView(barcode);
        if (auto* pdf = dynamic_cast<CPDF417*>(barcode))
            return new CPDF417View(pdf);
        if (auto* qr = dynamic_cast<CQRCode*>(barcode))
            return new CQRCodeView(qr);
        if (auto* matrix = dynamic_cast<CDataMatrix*>(barcode)) {
            if (barcode->GetSymbologyId() == SYM_GS1_DATAMATRIX)
                return new CGS1DMatrixView(matrix);
            return new CDataMatrixView(matrix);
        }
        if (auto* dataBar = dynamic_cast<CGS1DataBar*>(barcode))
            return new CGS1DataBarView(dataBar);
        if (barcode->GetSymbologyId() == SYM_GS1_128)
            return new CUccEanView(barcode);
        auto* pane = new CElementView(barcode, CBarcodeView::kFormId,
                                      QString::fromLatin1(barcode->Symbology().name));
        return pane;
    });
    CMainFrame::RegisterPaneCreator(TYPE_ELLIPSE, box);
    CMainFrame::RegisterPaneCreator(TYPE_PICTURE, [](CElement* element) -> QWidget* {
        auto* image = dynamic_cast<CImage*>(element);
        return image ? new CImageView(image) : nullptr;
    });
    CMainFrame::RegisterPaneCreator(TYPE_ARC_TEXT, [](CElement* element) -> QWidget* {
        auto* arc = dynamic_cast<CArcText*>(element);
        return arc ? new CArcTextView(arc) : nullptr;
    });
    CMainFrame::RegisterPaneCreator(TYPE_SYMBOL, [](CElement* element) -> QWidget* {
        auto* symbol = dynamic_cast<CSymbol*>(element);
        return symbol ? new CSymbolView(symbol) : nullptr;
    });
    CMainFrame::RegisterPaneCreator(TYPE_TEXT, [](CElement* element) -> QWidget* {
        auto* text = dynamic_cast<CText*>(element);
        return text ? new CTextView(text) : nullptr;
    });
    CMainFrame::RegisterPaneCreator(TYPE_PRICE, [](CElement* element) -> QWidget* {
        auto* price = dynamic_cast<CPriceField*>(element);
        return price ? new CPriceView(price) : nullptr;
    });
    CMainFrame::RegisterPaneCreator(TYPE_TABLE, [](CElement* element) -> QWidget* {
        auto* table = dynamic_cast<CTable*>(element);
        return table ? new CTableView(table) : nullptr;
    });
    // The cell whose pane is shown is framed in red in its table.
    FrameHooks().markTableCell = [](CElement* cell, bool current) {
        if (auto* table = dynamic_cast<CTable*>(cell ? cell->m_ownerTable : nullptr))
            table->SetCellHighlight(CDesignView::Current(), cell, current ? TRUE : FALSE);
    };
    // An element without a pane of its own (an OLE object) shows the sign
    // settings under the "Sign" captions.
    CMainFrame::SetSettingsPaneCreator(
        [](CElement* element) -> QWidget* { return new CSettingsView(element != nullptr); });
    // After an edit on the canvas the shown pane reads its element again.
    CMainFrame::SetPaneRefresher([](QWidget* pane) {
        if (auto* view = qobject_cast<CElementView*>(pane))
            view->UpdateFromElement();
    });
}
