// The label run both benchmarks print: an A4 sheet of 3 x 8 labels of
// 70 x 37 mm, each with a box, a 12 pt name and a Code 128 of about
// 50 x 15 mm with its text, the name and the code changing on every label.
#pragma once

#include "Barcode.h"
#include "Box.h"
#include "ElementList.h"
#include "Paper.h"
#include "PriceField.h"
#include "Printer.h"
#include "SignData.h"
#include "Text.h"

#include <QString>

namespace bench {

// The record of label i (from 1): "Product 0001 — Example" and "TAB0000001".
inline QString LabelName(int i)
{
    return QStringLiteral("Product %1 \u2014 Example").arg(i, 4, 10, QLatin1Char('0'));
}
inline QString LabelCode(int i)
{
    return QStringLiteral("TAB%1").arg(i, 7, 10, QLatin1Char('0'));
}

// Selects a stock of 3 x 8 labels of 70 x 37 mm on A4, the first 0.5 mm down.
inline void UseLabelSheet()
{
    CPaperStock stock;
    ThePaper().GetStock(QString(), stock);
    stock.category = QStringLiteral("Bench");
    stock.name = QStringLiteral("70x37");
    stock.builtIn = 0;
    stock.columns = 3;
    stock.rows = 8;
    stock.labelWidth = 700;
    stock.labelHeight = 370;
    stock.horzPitch = 7000;
    stock.vertPitch = 3700;
    stock.leftMargin = 0;
    stock.topMargin = 5;
    ThePaper().SetStock(stock);
    ThePaper().SelectStock(QStringLiteral("70x37"));
}

// The label's elements, in the current element list.
struct LabelElements
{
    CBox* box = nullptr;
    CText* name = nullptr;
    CBarcode* code = nullptr;
};

inline LabelElements MakeLabel()
{
    LabelElements label;
    label.box = static_cast<CBox*>(TheElementList().CreateElement(QStringLiteral("CBox")));
    label.box->SetBounds(nullptr, CRect(20, 20, 680, 350));

    label.name = static_cast<CText*>(TheElementList().CreateElement(QStringLiteral("CText")));
    label.name->BeginCreate(nullptr, 40, 30);
    CLogFont font(label.name->m_font);
    font.SetHeight(font.PointsToHeight(12));
    label.name->SetFont(nullptr, font);
    label.name->m_dataSource = SOURCE_KEYBOARD;
    label.name->SetDataText(LabelName(1), SOURCE_KEYBOARD, QString(), TRUE);

    label.code =
        static_cast<CBarcode*>(TheElementList().CreateElement(QStringLiteral("CCode128Auto")));
    label.code->m_dataSource = SOURCE_KEYBOARD;
    label.code->m_showHumanReadable = TRUE;
    label.code->m_origin = CPoint(100, 140);
    label.code->SetDataText(LabelCode(1), SOURCE_KEYBOARD, QString(), TRUE);
    // Bars and text together 15 mm high.
    label.code->RecalcPosition(nullptr);
    const int textHeight = label.code->m_bounds.Height() - label.code->m_height;
    label.code->m_height = std::max(CBarcode::kMinHeight, 150 - textHeight);
    label.code->Regenerate();
    label.code->RecalcPosition(nullptr);
    return label;
}

// Gives the label record i, as the print loop does before each label.
inline void FillLabel(const LabelElements& label, int i)
{
    label.name->SetDataText(LabelName(i), SOURCE_KEYBOARD, QString(), TRUE);
    label.code->SetDataText(LabelCode(i), SOURCE_KEYBOARD, QString(), TRUE);
}

// Prints labels 1..count to the PDF in one job, one PrintSign per label;
// FALSE when the job failed.
inline BOOL PrintLabels(const CSignData& sign, const LabelElements& label, int count,
                        const QString& pdf)
{
    CPrinter& printer = ThePrinter();
    if (!printer.BeginJob(sign, 1, pdf))
        return FALSE;
    BOOL ok = TRUE;
    for (int i = 1; i <= count && ok; ++i) {
        FillLabel(label, i);
        ok = printer.PrintSign(sign, 1, pdf, 0);
    }
    return printer.EndJob() && ok;
}

// The shelf label: the box and name of the label run, a price of about
// 30 x 12 mm at the right and an EAN-13 under the name, all three changing on
// every label.
struct ShelfElements
{
    CBox* box = nullptr;
    CText* name = nullptr;
    CPriceField* price = nullptr;
    CBarcode* code = nullptr;
};

// The price of label i: "1.00" to "100.99"; the EAN-13's twelve digits.
inline QString ShelfPrice(int i)
{
    return QStringLiteral("%1.%2").arg(1 + i % 100).arg(i % 100, 2, 10, QLatin1Char('0'));
}
inline QString ShelfEan(int i)
{
    return QStringLiteral("400%1").arg(i, 9, 10, QLatin1Char('0'));
}

inline void FillShelfLabel(const ShelfElements& label, int i)
{
    label.name->SetDataText(LabelName(i), SOURCE_KEYBOARD, QString(), TRUE);
    label.price->SetDataText(ShelfPrice(i), SOURCE_KEYBOARD, QString(), TRUE);
    label.code->SetDataText(ShelfEan(i), SOURCE_KEYBOARD, QString(), TRUE);
}

inline ShelfElements MakeShelfLabel()
{
    ShelfElements label;
    label.box = static_cast<CBox*>(TheElementList().CreateElement(QStringLiteral("CBox")));
    label.box->SetBounds(nullptr, CRect(20, 20, 680, 350));

    label.name = static_cast<CText*>(TheElementList().CreateElement(QStringLiteral("CText")));
    label.name->BeginCreate(nullptr, 40, 30);
    CLogFont font(label.name->m_font);
    font.SetHeight(font.PointsToHeight(12));
    label.name->SetFont(nullptr, font);
    label.name->m_dataSource = SOURCE_KEYBOARD;

    label.price =
        static_cast<CPriceField*>(TheElementList().CreateElement(QStringLiteral("CPriceField")));
    label.price->m_dataSource = SOURCE_KEYBOARD;
    label.price->SetSampleData(nullptr, ShelfPrice(1));
    label.price->SetBounds(nullptr, CRect(360, 90, 660, 210));

    label.code = static_cast<CBarcode*>(TheElementList().CreateElement(QStringLiteral("CEan13")));
    label.code->m_dataSource = SOURCE_KEYBOARD;
    label.code->m_showHumanReadable = TRUE;
    label.code->m_origin = CPoint(60, 120);
    FillShelfLabel(label, 1);
    label.code->RecalcPosition(nullptr);
    return label;
}

// Prints shelf labels 1..count to the PDF in one job, one PrintSign per
// label; FALSE when the job failed.
inline BOOL PrintShelfLabels(const CSignData& sign, const ShelfElements& label, int count,
                             const QString& pdf)
{
    CPrinter& printer = ThePrinter();
    if (!printer.BeginJob(sign, 1, pdf))
        return FALSE;
    BOOL ok = TRUE;
    for (int i = 1; i <= count && ok; ++i) {
        FillShelfLabel(label, i);
        ok = printer.PrintSign(sign, 1, pdf, 0);
    }
    return printer.EndJob() && ok;
}

} // namespace bench
