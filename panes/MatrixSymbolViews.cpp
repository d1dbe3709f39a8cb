#include "MatrixSymbolViews.h"

#include "PaneControls.h"

#include "AppContext.h"
#include "DataMatrix.h"
#include "DataRulesBlock.h"
#include "EditTextDlg.h"
#include "ElementList.h"
#include "GS1DataBar.h"
#include "MessageBox.h"
#include "Printer.h"
#include "SymbolMatrix.h"
#include "UccEanData.h"
#include "Variable.h"
#include "VariableList.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <cmath>

using namespace PaneBuild;

QComboBox* CMatrixSymbolView::XDimensionBox(QWidget* parent)
{
    auto* combo = Named(new QComboBox(parent), 1126);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QString CMatrixSymbolView::TwoDecimals(double value)
{
    return QString::number(value, 'f', 2);
}

namespace {

// Mils to stored hundredths of a mil (add a half and truncate).
DWORD Hundredths(double mils)
{
    return static_cast<DWORD>(mils * 100.0 + 0.5);
}

// The ECC codes of the Data Matrix types, in the list's order.
constexpr DWORD kEccCodes[] = {0, 3, 6, 8, 12, 26};
constexpr int kEcc200 = 5;

int TypeIndexOf(DWORD eccCode)
{
    for (int i = 0; i < 6; ++i) {
        if (kEccCodes[i] == eccCode)
            return i;
    }
    return kEcc200;
}

const QStringList& DataMatrixFormats()
{
    static const QStringList formats = {QObject::tr("Numeric"),
                                        QObject::tr("Uppercase alphabetic"),
                                        QObject::tr("Uppercase alphabetic and punctuation"),
                                        QObject::tr("Uppercase alphanumeric"),
                                        QObject::tr("Full ASCII"),
                                        QObject::tr("Binary")};
    return formats;
}

} // namespace

// --- shared groups ----------------------------------------------------------------

CMatrixSymbolView::CMatrixSymbolView(CBarcode* barcode, int formId, const QString& title, bool gs1,
                                     QWidget* parent)
    : CBarcodePaneBase(barcode, formId, title, parent), m_gs1(gs1)
{
    // A change of data source reaches the rules' enabling.
    connect(this, &CElementView::elementEdited, this, [this] { ApplyEnabling(); });
}

QGridLayout* CMatrixSymbolView::AddGroup(const QString& title)
{
    auto* box = new QGroupBox(title, Form()->parentWidget());
    auto* grid = new QGridLayout(box);
    Form()->addWidget(box);
    return grid;
}

void CMatrixSymbolView::BuildHead()
{
    m_position = new CSymbolPositionBlock(Edits(), Form()->parentWidget());
    Form()->addWidget(m_position);

    if (m_gs1)
        return;
    QGridLayout* data = AddGroup(tr("Data"));
    m_data = Named(new QLineEdit(data->parentWidget()), 1049);
    m_editText = Named(new QPushButton(QStringLiteral(">"), data->parentWidget()), 1551);
    m_editText->setToolTip(tr("Edit Text"));
    m_editText->setFixedWidth(m_editText->fontMetrics().horizontalAdvance(u'>') * 4);
    data->addWidget(m_data, 0, 0);
    data->addWidget(m_editText, 0, 1);
    connect(m_data, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (CBarcode* b = BeginEdit(m_data)) {
            b->m_sampleData = text;
            EndEdit(b);
        }
    });
    connect(m_editText, &QPushButton::clicked, this, [this] { OnEditText(); });
}

void CMatrixSymbolView::BuildTail()
{
    if (m_gs1) {
        AddNameBlock();
        AddPrintOptions(false);
        BuildGS1Source();
        Form()->addStretch(1);
        return;
    }
    m_rules = new CDataRulesBlock(false, CDataRulesBlock::LENGTH_KEYBOARD, Edits(),
                                  Form()->parentWidget());
    Form()->addWidget(m_rules);

    AddNameBlock();
    AddPrintOptions(false);
    CElementView::AddSourceBlock(true);
    Form()->addStretch(1);
}

void CMatrixSymbolView::LoadShared(CBarcode* b)
{
    LoadCommonBlocks(b, NativeFor(b));
    m_position->Bind(b);
    if (m_human)
        m_human->Bind(b);
    if (m_gs1) {
        m_gs1Name->setText(b->m_sourceName);
        return;
    }
    m_data->setText(b->m_sampleData);
    m_rules->Bind(b);
}

void CMatrixSymbolView::UpdateFromElement()
{
    m_position->Refresh();
}

void CMatrixSymbolView::ApplyEnabling()
{
    auto* b = ElementAs<CBarcode>();
    if (!b)
        return;
    const bool loading = IsLoading();
    SetLoading(true);
    if (m_rules)
        m_rules->ApplyEnabling();
    if (m_human)
        m_human->ApplyEnabling();
    ApplyFormatEnabling();
    SetLoading(loading);
}

CBarcode* CMatrixSymbolView::BeginFormatEdit(const QComboBox* xDimension, QObject* control,
                                             std::optional<double>& mils)
{
    if (IsLoading())
        return nullptr;
    double value = 0;
    const QString text = xDimension->currentText().trimmed();
    if (PaneUnits::Parse(text, value) && std::isfinite(value) && value > 0) {
        if (value < 0.01 || value > 1000.0) {
            AppMessageBox(tr("Please enter a number between %1 and %2.")
                              .arg(QLocale().toString(0.01), QLocale().toString(1000)));
            return nullptr;
        }
        mils = value;
    }
    return BeginEdit(sender() ? sender() : control);
}

void CMatrixSymbolView::OnListedWidth(QComboBox* xDimension, int index,
                                      const std::function<void(CBarcode*, double)>& set)
{
    double mils = 0;
    if (!PaneUnits::Parse(xDimension->itemText(index), mils) || mils <= 0)
        return;
    if (CBarcode* b = BeginEdit(xDimension)) {
        set(b, mils);
        EndEdit(b);
    }
}

int CMatrixSymbolView::PrinterDpi()
{
    if (const int dpi = CBarcode::GetResolutionOverride(); dpi > 0)
        return dpi;
    CPrinter& printer = ThePrinter();
    printer.EnsurePrinter();
    const int dpi = printer.GetPixelsPerInchX();
    return dpi > 0 ? dpi : 600;
}

void CMatrixSymbolView::BuildHumanReadable()
{
    m_human = new CHumanReadableBlock(Edits(), Form()->parentWidget());
    Form()->addWidget(m_human);
}

void CMatrixSymbolView::OnEditText()
{
    if (!ElementAs<CBarcode>())
        return;
    CEditTextDlg dialog(this);
    dialog.m_text = m_data->text();
    if (dialog.exec() != QDialog::Accepted)
        return;
    CBarcode* b = BeginEdit(m_editText);
    if (!b)
        return;
    m_data->setText(dialog.m_text);
    m_data->setFocus();
    b->m_sampleData = dialog.m_text;
    EndEdit(b);
}

// --- PDF417 -----------------------------------------------------------------------

CPDF417View::CPDF417View(CPDF417* pdf, QWidget* parent)
    : CMatrixSymbolView(pdf, kFormId, tr("PDF417"), false, parent)
{
    BuildHead();
    QGridLayout* format = AddGroup(tr("Format"));
    QWidget* box = format->parentWidget();

    m_percentMode = Named(new QRadioButton(tr("Percentage"), box), 1394);
    m_levelMode = Named(new QRadioButton(tr("Level"), box), 1397);
    auto* ecc = new QButtonGroup(box);
    ecc->addButton(m_percentMode);
    ecc->addButton(m_levelMode);
    m_percent = Spin(box, 1395, 0, 100);
    m_level = Spin(box, 1398, 0, 8);
    format->addWidget(new QLabel(tr("Error Correction"), box), 0, 0, 1, 3);
    format->addWidget(m_percentMode, 1, 0);
    format->addWidget(m_percent, 1, 1);
    format->addWidget(m_levelMode, 2, 0);
    format->addWidget(m_level, 2, 1);

    m_xDimension = XDimensionBox(box);
    m_xDimension->addItems(
        {QStringLiteral("7.50"), QStringLiteral("12.99"), QStringLiteral("20.00")});
    AddRow(format, 3, tr("X Dimension"), m_xDimension);
    format->addWidget(new QLabel(tr("mil"), box), 3, 2);
    m_moduleAspect = Spin(box, 1400, 1, 20);
    AddRow(format, 4, tr("Module Aspect"), m_moduleAspect);
    format->addWidget(new QLabel(QStringLiteral(": 1"), box), 4, 2);

    m_aspectMode = Named(new QRadioButton(tr("Aspect Ratio (H:W)"), box), 1404);
    m_rowsMode = Named(new QRadioButton(tr("Rows x Columns"), box), 1407);
    auto* size = new QButtonGroup(box);
    size->addButton(m_aspectMode);
    size->addButton(m_rowsMode);
    m_aspectHeight = Spin(box, 1405, 1, 10);
    m_aspectWidth = Spin(box, 1406, 1, 10);
    auto* aspect = new QHBoxLayout;
    aspect->addWidget(m_aspectHeight);
    aspect->addWidget(new QLabel(QStringLiteral(":"), box));
    aspect->addWidget(m_aspectWidth);
    format->addWidget(m_aspectMode, 5, 0);
    format->addLayout(aspect, 5, 1, 1, 2);
    m_rows = Spin(box, 1408, 1, 90);
    m_columns = Spin(box, 1410, 1, 30);
    auto* grid = new QHBoxLayout;
    grid->addWidget(m_rows);
    grid->addWidget(new QLabel(QStringLiteral("x"), box));
    grid->addWidget(m_columns);
    format->addWidget(m_rowsMode, 6, 0);
    format->addLayout(grid, 6, 1, 1, 2);
    m_limits = Named(new QCheckBox(tr("Use As Limits"), box), 1412);
    format->addWidget(m_limits, 7, 1, 1, 2);
    m_truncated = Named(new QCheckBox(tr("Truncated"), box), 1402);
    m_binary = Named(new QCheckBox(tr("Binary/ASCII Plus"), box), 1403);
    format->addWidget(m_truncated, 8, 0);
    format->addWidget(m_binary, 8, 1, 1, 2);
    m_defaults = Named(new QPushButton(tr("Defaults"), box), 1413);
    format->addWidget(m_defaults, 9, 0);

    auto apply = [this] { ApplyParameters(); };
    for (QRadioButton* r : {m_percentMode, m_levelMode, m_aspectMode})
        connect(r, &QRadioButton::clicked, this, apply);
    connect(m_rowsMode, &QRadioButton::clicked, this, [this] {
        m_limits->setChecked(true);
        ApplyParameters();
    });
    for (QSpinBox* s :
         {m_percent, m_level, m_moduleAspect, m_aspectHeight, m_aspectWidth, m_rows, m_columns})
        connect(s, &QSpinBox::valueChanged, this, apply);
    for (QCheckBox* c : {m_limits, m_truncated, m_binary})
        connect(c, &QCheckBox::clicked, this, apply);
    connect(m_xDimension->lineEdit(), &QLineEdit::textEdited, this, apply);
    connect(m_xDimension, &QComboBox::activated, this, [this](int index) {
        OnListedWidth(m_xDimension, index, [](CBarcode* b, double mils) {
            static_cast<CPDF417*>(b)->m_xDimension = Hundredths(mils);
        });
    });
    connect(m_defaults, &QPushButton::clicked, this, [this] { OnDefaults(); });

    BuildTail();
    if (pdf)
        Load(pdf);
    SetLoading(false);
}

void CPDF417View::Load(CPDF417* p)
{
    SetLoading(true);
    LoadShared(p);
    (p->m_symbolType == 0 ? m_aspectMode : m_rowsMode)->setChecked(true);
    m_limits->setChecked(p->m_symbolType == 2);
    (p->m_eccType != 0 ? m_levelMode : m_percentMode)->setChecked(true);
    m_percent->setValue(int(std::min<DWORD>(p->m_eccPercent, 100)));
    m_level->setValue(int(std::min<DWORD>(p->m_eccLevel, 8)));
    m_xDimension->setEditText(TwoDecimals(p->m_xDimension / 100.0));
    m_moduleAspect->setValue(int(std::clamp<DWORD>(p->m_rowAspect, 1, 20)));
    m_aspectHeight->setValue(int(std::clamp<DWORD>(p->m_aspectRatio / 100, 1, 10)));
    m_aspectWidth->setValue(int(std::clamp<DWORD>(p->m_aspectRatio % 100, 1, 10)));
    m_rows->setValue(int(std::clamp<DWORD>(p->m_rowCount, 1, 90)));
    m_columns->setValue(int(std::clamp<DWORD>(p->m_columnCount, 1, 30)));
    m_truncated->setChecked(p->m_truncate != 0);
    m_binary->setChecked(p->m_forceBinary != 0);
    UpdateFromElement();
    ApplyEnabling();
    SetLoading(false);
}

void CPDF417View::ApplyParameters()
{
    std::optional<double> mils;
    auto* p = dynamic_cast<CPDF417*>(BeginFormatEdit(m_xDimension, m_xDimension, mils));
    if (!p)
        return;
    p->m_symbolType = m_aspectMode->isChecked() ? 0 : m_limits->isChecked() ? 2 : 1;
    p->m_aspectRatio = DWORD(m_aspectHeight->value() * 100 + m_aspectWidth->value());
    p->m_rowCount = DWORD(m_rows->value());
    p->m_columnCount = DWORD(m_columns->value());
    p->m_eccType = m_percentMode->isChecked() ? 0 : 1;
    p->m_eccPercent = DWORD(m_percent->value());
    p->m_eccLevel = DWORD(m_level->value());
    // A width that is no number, or none above 0, keeps the old one.
    if (mils)
        p->m_xDimension = Hundredths(*mils);
    p->m_rowAspect = DWORD(m_moduleAspect->value());
    p->m_truncate = m_truncated->isChecked() ? 1 : 0;
    p->m_forceBinary = m_binary->isChecked() ? 1 : 0;
    EndEdit(p);
    ApplyEnabling();
}

void CPDF417View::OnDefaults()
{
    if (!ElementAs<CPDF417>())
        return;
    SetLoading(true);
    m_xDimension->setEditText(QStringLiteral("12.99"));
    m_percent->setValue(10);
    m_level->setValue(3);
    m_moduleAspect->setValue(3);
    m_aspectHeight->setValue(1);
    m_aspectWidth->setValue(2);
    m_rows->setValue(90);
    m_columns->setValue(30);
    m_truncated->setChecked(false);
    m_binary->setChecked(false);
    m_aspectMode->setChecked(true);
    m_percentMode->setChecked(true);
    m_limits->setChecked(false);
    SetLoading(false);
    ApplyParameters();
}

void CPDF417View::ApplyFormatEnabling()
{
    const bool aspect = m_aspectMode->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_aspectHeight, m_aspectWidth})
        w->setEnabled(aspect);
    for (QWidget* w : std::initializer_list<QWidget*>{m_rows, m_columns, m_limits})
        w->setEnabled(!aspect);
    const bool percent = m_percentMode->isChecked();
    m_percent->setEnabled(percent);
    m_level->setEnabled(!percent);
}

// --- Data Matrix -------------------------------------------------------------------

CDataMatrixView::CDataMatrixView(CDataMatrix* matrix, QWidget* parent)
    : CDataMatrixView(matrix, kFormId, tr("Data Matrix"), false, parent)
{
}

CDataMatrixView::CDataMatrixView(CDataMatrix* matrix, int formId, const QString& title, bool gs1,
                                 QWidget* parent)
    : CMatrixSymbolView(matrix, formId, title, gs1, parent)
{
    BuildHead();
    QGridLayout* format = AddGroup(tr("Format"));
    QWidget* box = format->parentWidget();
    m_type =
        Combo(box, 1465,
              {QStringLiteral("ECC-000"), QStringLiteral("ECC-050"), QStringLiteral("ECC-080"),
               QStringLiteral("ECC-100"), QStringLiteral("ECC-140"), QStringLiteral("ECC-200")});
    AddRow(format, 0, tr("Type"), m_type);
    m_format = Combo(box, 1162, DataMatrixFormats());
    AddRow(format, 1, tr("Format"), m_format);
    m_size = Named(new QComboBox(box), 1466);
    AddRow(format, 2, tr("Size"), m_size);
    m_xDimension = XDimensionBox(box);
    AddRow(format, 3, tr("X Dimension"), m_xDimension);
    format->addWidget(new QLabel(tr("mil"), box), 3, 2);

    connect(m_type, &QComboBox::activated, this, [this](int index) { OnTypeChanged(index); });
    connect(m_format, &QComboBox::activated, this, [this] { ApplyParameters(); });
    connect(m_size, &QComboBox::activated, this, [this] { ApplyParameters(); });
    connect(m_xDimension->lineEdit(), &QLineEdit::textEdited, this, [this] { ApplyParameters(); });
    connect(m_xDimension, &QComboBox::activated, this, [this](int index) {
        OnListedWidth(m_xDimension, index, [](CBarcode* b, double mils) {
            static_cast<CDataMatrix*>(b)->m_xDimension = Hundredths(mils);
        });
    });

    BuildTail();
    if (matrix)
        Load(matrix);
    SetLoading(false);
}

void CDataMatrixView::FillSizeList(int)
{
    // Every type is made as ECC 200, so each offers the ECC 200 sizes.
    const bool loading = IsLoading();
    SetLoading(true);
    m_size->clear();
    m_size->addItem(tr("Auto (smallest)"), QVariant::fromValue(QPoint(0, 0)));
    for (const auto& [rows, columns] : CSymbolMatrix::DataMatrixSizes())
        m_size->addItem(QStringLiteral("%1 x %2").arg(rows).arg(columns),
                        QVariant::fromValue(QPoint(rows, columns)));
    SetLoading(loading);
}

void CDataMatrixView::Load(CDataMatrix* m)
{
    SetLoading(true);
    LoadShared(m);
    m_xDimension->setEditText(TwoDecimals(m->m_xDimension / 100.0));
    m_typeIndex = TypeIndexOf(m->m_eccType);
    m_type->setCurrentIndex(m_typeIndex);
    m_format->clear();
    m_format->addItems(DataMatrixFormats());
    if (m_typeIndex == kEcc200) {
        m_format->insertItem(0, tr("Auto"));
        m_format->setCurrentIndex(0);
        m_format->setEnabled(false);
    } else {
        m_format->setCurrentIndex(std::clamp(int(m->m_format) - 1, 0, m_format->count() - 1));
        m_format->setEnabled(true);
    }
    FillSizeList(m_typeIndex);
    const int sized =
        m_size->findData(QVariant::fromValue(QPoint(int(m->m_rows), int(m->m_columns))));
    m_size->setCurrentIndex(std::max(0, sized));

    // The nominal widths, each a whole number of the printer's dots.
    const int dpi = PrinterDpi();
    m_xDimension->clear();
    for (double nominal : {7.5, 12.99, 20.0, 30.0}) {
        const int dots = static_cast<int>(nominal / 1000.0 * dpi + 0.5);
        m_xDimension->addItem(TwoDecimals(double(dots) / dpi * 1000.0));
    }
    m_xDimension->setEditText(TwoDecimals(m->m_xDimension / 100.0));
    UpdateFromElement();
    ApplyEnabling();
    SetLoading(false);
}

void CDataMatrixView::OnTypeChanged(int index)
{
    if (IsLoading() || index == m_typeIndex || index < 0 || index > kEcc200)
        return;
    const bool toEcc200 = index == kEcc200;
    const bool fromEcc200 = m_typeIndex == kEcc200;
    SetLoading(true);
    if (toEcc200) {
        m_format->insertItem(0, tr("Auto"));
        m_format->setCurrentIndex(0);
    } else if (fromEcc200) {
        m_format->removeItem(0);
        m_format->setCurrentIndex(4); // "Full ASCII"
    }
    if (toEcc200 || fromEcc200) {
        m_format->setEnabled(!toEcc200);
        FillSizeList(index);
        m_size->setCurrentIndex(0);
    }
    SetLoading(false);
    m_typeIndex = index;
    if (auto* m = ElementAs<CDataMatrix>())
        m->m_eccType = kEccCodes[index];
    ApplyParameters();
}

void CDataMatrixView::ApplyParameters()
{
    std::optional<double> mils;
    auto* m = dynamic_cast<CDataMatrix*>(BeginFormatEdit(m_xDimension, m_type, mils));
    if (!m)
        return;
    m->m_format = DWORD(std::max(0, m_format->currentIndex()) + 1);
    const QPoint size = m_size->currentData().toPoint();
    m->m_rows = DWORD(std::max(0, size.x()));
    m->m_columns = DWORD(std::max(0, size.y()));
    if (mils)
        m->m_xDimension = Hundredths(*mils);
    EndEdit(m);
}

// --- QR Code -----------------------------------------------------------------------

CQRCodeView::CQRCodeView(CQRCode* qr, QWidget* parent)
    : CMatrixSymbolView(qr, kFormId, tr("QR Code"), false, parent)
{
    BuildHead();
    QGridLayout* format = AddGroup(tr("Format"));
    QWidget* box = format->parentWidget();
    m_level = Combo(box, 1465, {tr("Low"), tr("Medium"), tr("Quartil"), tr("High")});
    AddRow(format, 0, tr("Error Correction :"), m_level);
    QStringList masks{tr("Default")};
    for (int i = 0; i < 8; ++i)
        masks << QString::number(i);
    m_mask = Combo(box, 1162, masks);
    AddRow(format, 1, tr("Mask Pattern :"), m_mask);
    m_xDimension = XDimensionBox(box);
    AddRow(format, 2, tr("X Dimension :"), m_xDimension);
    format->addWidget(new QLabel(tr("mil"), box), 2, 2);

    connect(m_level, &QComboBox::activated, this, [this] { ApplyParameters(); });
    connect(m_mask, &QComboBox::activated, this, [this] { ApplyParameters(); });
    connect(m_xDimension->lineEdit(), &QLineEdit::textEdited, this, [this] { ApplyParameters(); });
    connect(m_xDimension, &QComboBox::activated, this, [this](int index) {
        OnListedWidth(m_xDimension, index, [](CBarcode* b, double mils) {
            static_cast<CQRCode*>(b)->m_moduleWidth = float(mils);
        });
    });

    BuildTail();
    if (qr)
        Load(qr);
    SetLoading(false);
}

void CQRCodeView::Load(CQRCode* q)
{
    SetLoading(true);
    LoadShared(q);
    m_level->setCurrentIndex(std::clamp(q->m_level, 0, 3));
    m_mask->setCurrentIndex(std::clamp(q->m_mask + 1, 0, 8));
    const int dpi = PrinterDpi();
    m_xDimension->clear();
    for (int nominal = 5; nominal <= 35; nominal += 5)
        m_xDimension->addItem(TwoDecimals(CQRCode::SnappedWidth(float(nominal), dpi)));
    m_xDimension->setEditText(TwoDecimals(q->m_moduleWidth));
    UpdateFromElement();
    ApplyEnabling();
    SetLoading(false);
}

void CQRCodeView::ApplyParameters()
{
    std::optional<double> mils;
    auto* q = dynamic_cast<CQRCode*>(BeginFormatEdit(m_xDimension, m_level, mils));
    if (!q)
        return;
    q->m_level = std::max(0, m_level->currentIndex());
    q->m_mask = m_mask->currentIndex() - 1;
    if (mils) {
        q->m_moduleWidth = float(*mils);
        q->SnapModuleWidth();
    }
    EndEdit(q);
}
