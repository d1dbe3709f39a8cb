#include "PriceFontDlg.h"

#include "ListCtrlEx.h"
#include "PriceElmtPage.h"
#include "PriceFormat.h"
#include "PriceSample.h"
#include "PriceSampleWnd.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using P = CPriceFormat;

template <class T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

CPriceFontDlg::CPriceFontDlg(const CPriceField& element,
                             const std::function<void(CListCtrlEx*)>& fillFaces, QWidget* parent)
    : QDialog(parent), m_sample(std::make_unique<CPriceSample>(element))
{
    setObjectName(QStringLiteral("id196"));
    setWindowTitle(tr("Price Font - Advanced"));

    auto* faceLabel = new QLabel(tr("&Typeface"), this);
    m_faces = Named(new CListCtrlEx(this), "typeface");
    m_faces->setMinimumWidth(220);
    if (fillFaces)
        fillFaces(m_faces);
    faceLabel->setBuddy(m_faces);
    auto* styleLabel = new QLabel(tr("St&yle"), this);
    m_style = Named(new QComboBox(this), "style");
    m_style->addItems({tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic")});
    styleLabel->setBuddy(m_style);

    m_sampleWnd = new CPriceSampleWnd(m_sample.get(), this);
    m_first = Named(new QPushButton(QStringLiteral("|<"), this), "first");
    m_previous = Named(new QPushButton(QStringLiteral("<"), this), "previous");
    m_next = Named(new QPushButton(QStringLiteral(">"), this), "next");
    m_last = Named(new QPushButton(QStringLiteral(">|"), this), "last");
    m_partName = Named(new QLabel(this), "partName");
    m_partName->setMinimumWidth(
        m_partName->fontMetrics().horizontalAdvance(CPriceElmtPage::PartTitle(3)) + 8);
    auto* stepper = new QHBoxLayout;
    for (QPushButton* b : {m_first, m_previous})
        stepper->addWidget(b);
    stepper->addWidget(m_partName, 1, Qt::AlignCenter);
    for (QPushButton* b : {m_next, m_last})
        stepper->addWidget(b);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    m_apply = buttons->button(QDialogButtonBox::Apply);
    m_apply->setObjectName(QStringLiteral("apply"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_apply, &QPushButton::clicked, this, &CPriceFontDlg::Apply);

    auto* grid = new QGridLayout;
    grid->addWidget(faceLabel, 0, 0);
    grid->addWidget(m_faces, 1, 0, 3, 1);
    grid->addWidget(styleLabel, 0, 1);
    grid->addWidget(m_style, 1, 1);
    grid->addWidget(m_sampleWnd, 2, 1);
    grid->addLayout(stepper, 3, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    connect(m_first, &QPushButton::clicked, this, [this] { SelectPart(0); });
    connect(m_previous, &QPushButton::clicked, this, [this] { SelectPart(m_part - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { SelectPart(m_part + 1); });
    connect(m_last, &QPushButton::clicked, this, [this] { SelectPart(4); });
    // A face the user selects; the list setting its own current row when it
    // takes the focus is no choice.
    connect(m_faces, &CListCtrlEx::itemSelectionChanged, this, [this] {
        if (!m_loading)
            m_apply->setEnabled(true);
    });
    connect(m_style, &QComboBox::activated, this, [this] { m_apply->setEnabled(true); });

    m_sample->ShowPrice(QStringLiteral("42.00"));
    SelectPart(0);
    m_apply->setEnabled(false);
}

CPriceFontDlg::~CPriceFontDlg() = default;

void CPriceFontDlg::SelectPart(int index)
{
    const CPriceFormat& format = m_sample->GetFormat();
    int part = std::clamp(index, 0, 4);
    if (part == P::PART_PRIMARY_SYMBOL && format.GetPartText(P::PART_PRIMARY_SYMBOL).isEmpty())
        part = P::PART_PRIMARY_AMOUNT;
    if (part == P::PART_DECIMAL_SEPARATOR &&
        format.GetPartText(P::PART_DECIMAL_SEPARATOR).isEmpty())
        part = m_part == P::PART_PRIMARY_AMOUNT ? P::PART_SECONDARY_AMOUNT : P::PART_PRIMARY_AMOUNT;
    if (part == P::PART_SECONDARY_SYMBOL && format.GetPartText(P::PART_SECONDARY_SYMBOL).isEmpty())
        part = P::PART_SECONDARY_AMOUNT;
    if (part == m_part)
        return;
    if (m_part == P::PART_SECONDARY_SYMBOL)
        m_sample->ShowPrice(QStringLiteral("42.00"));
    if (part == P::PART_SECONDARY_SYMBOL)
        m_sample->ShowPrice(QStringLiteral(".42"));
    m_part = part;
    ShowPart();
}

void CPriceFontDlg::ShowPart()
{
    m_loading = true;
    const CLogFont& font = m_sample->Part(m_part).GetFont();
    const QString face = font.GetFaceName();
    int row = m_faces->FindItemText(face, Qt::CaseInsensitive);
    m_faces->clearSelection();
    if (row < 0 && !face.isEmpty()) {
        // A face the printer lacks is listed at the top, so the part's own
        // face shows (another face stands in for it when drawn).
        const DWORD data = CLogFont::EnumerateFace(face);
        m_faces->InsertIconItem((data & 0x04) ? 0 : 1, face, qint64(data));
        row = 0;
    }
    m_faces->SelectItem(row);
    m_style->setCurrentIndex(font.GetStyleIndex());
    m_loading = false;
    m_sample->HighlightPart(m_part);
    m_partName->setText(CPriceElmtPage::PartTitle(m_part));
    m_sampleWnd->update();
}

void CPriceFontDlg::Apply()
{
    CTextBase& part = m_sample->Part(m_part);
    LogFontFields lf = part.GetFont().GetLogFont();
    if (const int row = m_faces->SelectedItem(); row >= 0)
        lf.lfFaceName = CLogFont::FitFaceName(m_faces->CellText(row, 0));
    const int style = std::max(m_style->currentIndex(), 0);
    lf.lfWeight = style >= 2 ? 700 : 400;
    lf.lfItalic = (style & 1) ? 1 : 0;
    part.SetLogFont(lf);
    m_sample->Reapply();
    m_sampleWnd->update();
    m_apply->setEnabled(false);
}

void CPriceFontDlg::accept()
{
    // What was chosen but not yet applied counts too.
    if (m_apply->isEnabled())
        Apply();
    QDialog::accept();
}
