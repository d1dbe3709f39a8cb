// The panes of the symbols fed by a GS1 data variable (GS1 Data Matrix,
// GS1 DataBar, GS1-128) and their Source group, declared with the other
// symbol panes in MatrixSymbolViews.h.
#include "MatrixSymbolViews.h"

#include "PaneControls.h"

#include "AppContext.h"
#include "DataMatrix.h"
#include "ElementList.h"
#include "GS1DataBar.h"
#include "UccEanData.h"
#include "Variable.h"
#include "VariableList.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

using namespace PaneBuild;

// --- the Source group ----------------------------------------------------------------

void CMatrixSymbolView::BuildGS1Source()
{
    QGridLayout* source = AddGroup(tr("Source"));
    QWidget* box = source->parentWidget();
    m_gs1Name = Named(new QLabel(box), 1001);
    m_gs1Edit = Named(new QPushButton(tr("Edit Data Source..."), box), 1004);
    m_gs1New = Named(new QPushButton(tr("New Data Source..."), box), 1137);
    AddRow(source, 0, tr("Name"), m_gs1Name);
    source->addWidget(m_gs1Edit, 1, 0);
    source->addWidget(m_gs1New, 1, 1);
    connect(m_gs1Edit, &QPushButton::clicked, this, [this] { OnEditGS1Source(); });
    connect(m_gs1New, &QPushButton::clicked, this, [this] { OnNewGS1Source(); });
}

void CMatrixSymbolView::OnEditGS1Source()
{
    auto* b = ElementAs<CBarcode>();
    if (!b)
        return;
    auto* data =
        dynamic_cast<CUccEanData*>(TheVariableList().FindVariable(VARIABLE_GS1, b->m_sourceName));
    if (!data || !data->DoEditDialog(this, GS1Mode()))
        return;
    const QString encoded = data->GetBarcodeData();
    if ((b = BeginEdit(m_gs1Edit))) {
        b->m_sampleData = encoded;
        EndEdit(b);
    }
    // Every other symbol fed by the same data shows it as well.
    CElementList& elements = TheElementList();
    for (int i = 0; i < elements.GetCount(); ++i) {
        auto* other = dynamic_cast<CBarcode*>(elements.GetAt(i));
        if (!other || other == b || other->m_dataSource != SOURCE_GS1 ||
            other->m_sourceName.compare(data->GetName(), Qt::CaseInsensitive) != 0)
            continue;
        other->m_sampleData = other->m_data = encoded;
        other->Refresh();
        other->RecalcPosition(View());
    }
}

void CMatrixSymbolView::OnNewGS1Source()
{
    auto* b = ElementAs<CBarcode>();
    if (!b)
        return;
    CVariableList& variables = TheVariableList();
    // Named for the element; a name already taken (by the data made for
    // it before) is not given twice, so the symbol never reads the other.
    const QString base = b->m_name.isEmpty() ? QStringLiteral("GS1") : b->m_name;
    QString name = base;
    for (int n = 2; variables.FindVariable(VARIABLE_GS1, name); ++n)
        name = QStringLiteral("%1_%2").arg(base).arg(n);
    auto* data = dynamic_cast<CUccEanData*>(variables.CreateVariable(VARIABLE_GS1, name));
    if (!data)
        return;
    if (!data->DoNewDialog(this, GS1Mode())) {
        variables.RemoveVariable(data);
        return;
    }
    b = BeginEdit(m_gs1New);
    if (!b)
        return;
    CDataPathSeam* paths = App().dataPaths;
    if (paths) {
        paths->AddVariable(data);
        paths->RemoveElement(b);
    }
    // The symbol follows the variable from now on, at print time as well.
    b->m_dataSource = SOURCE_GS1;
    b->m_sourceName = data->GetName();
    if (paths)
        paths->AddElement(b);
    b->m_sampleData = data->GetBarcodeData();
    m_gs1Name->setText(b->m_sourceName);
    EndEdit(b);
}

// --- GS1 Data Matrix ----------------------------------------------------------------

CGS1DMatrixView::CGS1DMatrixView(CDataMatrix* matrix, QWidget* parent)
    : CDataMatrixView(matrix, kFormId, tr("GS1 DataMatrix"), true, parent)
{
}

// --- GS1 DataBar --------------------------------------------------------------------

CGS1DataBarView::CGS1DataBarView(CGS1DataBar* dataBar, QWidget* parent)
    : CMatrixSymbolView(dataBar, kFormId, tr("GS1 DataBar"), true, parent)
{
    BuildHead();
    QGridLayout* format = AddGroup(tr("Format"));
    QWidget* box = format->parentWidget();
    m_type = Combo(box, 1554,
                   {tr("Omnidirectional"), tr("Truncated"), tr("Stacked"),
                    tr("Stacked Omnidirectional"), tr("Limited"), tr("Expanded")});
    AddRow(format, 0, tr("Type"), m_type);
    m_xDimension = XDimensionBox(box);
    AddRow(format, 1, tr("X Dimension"), m_xDimension);
    format->addWidget(new QLabel(tr("mil (0.001\")"), box), 1, 2);
    QStringList heights;
    for (int i = 1; i <= 10; ++i)
        heights << QStringLiteral("x%1").arg(i);
    m_separator = Combo(box, 1007, heights);
    AddRow(format, 2, tr("Separator Height"), m_separator);
    QStringList segments;
    for (int i = 2; i <= 22; i += 2)
        segments << QString::number(i);
    m_segments = Combo(box, 1143, segments);
    AddRow(format, 3, tr("Segments Per Row"), m_segments);
    for (QComboBox* combo : {m_type, m_separator, m_segments})
        connect(combo, &QComboBox::activated, this, [this] { ApplyFormat(); });
    connect(m_xDimension->lineEdit(), &QLineEdit::textEdited, this, [this] { ApplyFormat(); });

    BuildHumanReadable();

    BuildTail();
    if (dataBar)
        Load(dataBar);
    SetLoading(false);
}

void CGS1DataBarView::Load(CGS1DataBar* d)
{
    SetLoading(true);
    LoadShared(d);
    m_type->setCurrentIndex(std::clamp(d->GetDataBarType() - 1, 0, 5));
    m_xDimension->setEditText(TwoDecimals(double(d->m_xDimension) * 1000.0));
    m_separator->setCurrentIndex(std::clamp(d->m_heightFactor - 1, 0, 9));
    m_segments->setCurrentIndex(std::clamp((int(d->m_setting) - 2) / 2, 0, 10));
    UpdateFromElement();
    ApplyEnabling();
    SetLoading(false);
}

void CGS1DataBarView::ApplyFormat()
{
    std::optional<double> mils;
    auto* d = dynamic_cast<CGS1DataBar*>(BeginFormatEdit(m_xDimension, m_type, mils));
    if (!d)
        return;
    // Only a change of kind turns the human-readable text on or off.
    if (m_type->currentIndex() + 1 != d->GetDataBarType())
        d->SetDataBarType(m_type->currentIndex());
    if (mils)
        d->m_xDimension = float(*mils * 0.001);
    d->m_heightFactor = m_separator->currentIndex() + 1;
    d->m_setting = DWORD(m_segments->currentIndex() * 2 + 2);
    EndEdit(d);
    ApplyEnabling();
}

void CGS1DataBarView::ApplyFormatEnabling()
{
    auto* d = ElementAs<CGS1DataBar>();
    if (!d)
        return;
    m_segments->setEnabled(d->GetDataBarType() == CGS1DataBar::kExpanded);
}

int CGS1DataBarView::GS1Mode() const
{
    auto* d = ElementAs<CGS1DataBar>();
    return d && d->GetDataBarType() != CGS1DataBar::kExpanded ? 1 : -1;
}

// --- GS1-128 ------------------------------------------------------------------------

CUccEanView::CUccEanView(CBarcode* barcode, QWidget* parent)
    : CMatrixSymbolView(barcode, kFormId, tr("GS1-128"), true, parent)
{
    BuildHead();
    // The check digit box only shows the state: the symbol always has one.
    m_style = new CBarcodeStyleBlock(tr("Format"), false, Edits(), Form()->parentWidget());
    Form()->addWidget(m_style);
    BuildHumanReadable();
    BuildTail();
    if (barcode)
        Load(barcode);
    SetLoading(false);
}

void CUccEanView::Load(CBarcode* b)
{
    SetLoading(true);
    LoadShared(b);
    m_style->Bind(b);
    UpdateFromElement();
    ApplyEnabling();
    SetLoading(false);
}

void CUccEanView::UpdateFromElement()
{
    CMatrixSymbolView::UpdateFromElement();
    m_style->Refresh();
}

void CUccEanView::ApplyFormatEnabling()
{
    m_style->ApplyEnabling();
}
