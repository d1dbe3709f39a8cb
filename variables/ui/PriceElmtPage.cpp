#include "PriceElmtPage.h"

#include "MessageBox.h"
#include "PriceFormat.h"
#include "PriceSample.h"
#include "PriceSampleWnd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWizard>

#include <algorithm>
#include <tuple>

namespace {

using P = CPriceFormat;

constexpr int kMinSize = 10;
constexpr int kMaxSize = 100;

template <class T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

QString CPriceElmtPage::PartTitle(int part)
{
    switch (part) {
    case P::PART_PRIMARY_SYMBOL:
        return tr("Primary Symbol");
    case P::PART_PRIMARY_AMOUNT:
        return tr("Primary Amount");
    case P::PART_DECIMAL_SEPARATOR:
        return tr("Decimal Separator");
    case P::PART_SECONDARY_AMOUNT:
        return tr("Secondary Amount");
    case P::PART_SECONDARY_SYMBOL:
        return tr("Secondary Symbol");
    case kThousandsSeparator:
        return tr("Thousands Separator");
    default:
        return QString();
    }
}

CPriceElmtPage::CPriceElmtPage(CPriceFormat& format, int part, CPriceSample& sample,
                               QWidget* parent)
    : QWizardPage(parent), m_format(format), m_part(part), m_sample(sample)
{
    setObjectName(QStringLiteral("pricePart%1").arg(part));
    setWindowTitle(PartTitle(part));
    auto* layout = new QVBoxLayout(this);
    m_caption = Named(new QLabel(PartTitle(part), this), "caption");
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    layout->addWidget(m_caption);

    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    m_none = Named(new QRadioButton(tr("&None"), this), "none");
    m_symbolOn = Named(new QRadioButton(tr("S&ymbol"), this), "symbolOn");
    m_symbol = Named(new QLineEdit(this), "symbol");
    m_symbol->setMaxLength(31);
    grid->addWidget(m_none, 0, 0);
    grid->addWidget(m_symbolOn, 1, 0);
    grid->addWidget(m_symbol, 1, 1, 1, 2);

    m_sizeLabel = new QLabel(tr("Si&ze"), this);
    m_size = Named(new QLineEdit(this), "size");
    m_size->setMaxLength(3);
    m_sizeLabel->setBuddy(m_size);
    // The size steps with a pair of arrows beside the edit; the spin box
    // behind them only holds the value and its range.
    m_upDown = Named(new QSpinBox(this), "upDownValue");
    m_upDown->setRange(kMinSize, kMaxSize);
    m_upDown->hide();
    m_arrows = Named(new QWidget(this), "upDown");
    auto* arrowColumn = new QVBoxLayout(m_arrows);
    arrowColumn->setContentsMargins(0, 0, 0, 0);
    arrowColumn->setSpacing(0);
    // Together the arrows are as tall as the edit, each half of it.
    const int editHeight = m_size->sizeHint().height();
    for (const auto& [name, arrow, step, height] :
         {std::tuple{"up", Qt::UpArrow, 1, editHeight / 2},
          std::tuple{"down", Qt::DownArrow, -1, editHeight - editHeight / 2}}) {
        auto* button = Named(new QToolButton(m_arrows), name);
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIconSize(QSize(8, std::max(height - 6, 4)));
        button->setFixedSize(18, height);
        arrowColumn->addWidget(button);
        connect(button, &QToolButton::clicked, this,
                [this, step = step] { m_upDown->stepBy(step); });
    }
    m_percent = new QLabel(QStringLiteral("%"), this);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_size);
    sizeRow->addWidget(m_arrows);
    sizeRow->addWidget(m_percent);
    grid->addWidget(m_sizeLabel, 2, 0);
    grid->addLayout(sizeRow, 2, 1);

    m_alignLabel = new QLabel(tr("&Alignment"), this);
    m_alignment = Named(new QComboBox(this), "alignment");
    m_alignment->addItems({tr("Top"), tr("Centre"), tr("Bottom"), tr("Baseline")});
    m_alignLabel->setBuddy(m_alignment);
    grid->addWidget(m_alignLabel, 3, 0);
    grid->addWidget(m_alignment, 3, 1);

    m_showLabel = new QLabel(tr("Show :"), this);
    m_always = Named(new QCheckBox(tr("Al&ways"), this), "always");
    m_never = Named(new QCheckBox(tr("&Never"), this), "never");
    m_onlyIfNonZero = Named(new QCheckBox(tr("Only If Non-Zero"), this), "onlyIfNonZero");
    m_showPrimary = Named(new QCheckBox(tr("Show &Primary Amount :"), this), "showPrimary");
    grid->addWidget(m_showLabel, 4, 0);
    grid->addWidget(m_always, 4, 1);
    grid->addWidget(m_never, 5, 1);
    grid->addWidget(m_onlyIfNonZero, 6, 1);
    grid->addWidget(m_showPrimary, 7, 0, 1, 2);

    m_sampleWnd = new CPriceSampleWnd(&m_sample, this);
    layout->addWidget(m_sampleWnd, 1);

    // --- what the page shows ------------------------------------------------
    if (!IsSecondaryAmount()) {
        const QString text = PartText();
        (text.isEmpty() ? m_none : m_symbolOn)->setChecked(true);
        m_symbol->setText(text);
        EnableSymbol(!text.isEmpty());
        if (m_part == P::PART_PRIMARY_SYMBOL) {
            m_always->setText(tr("&Prefix"));
            m_never->setText(tr("&Suffix"));
            m_always->setChecked(!m_format.m_symbolAfterAmount);
            m_never->setChecked(m_format.m_symbolAfterAmount);
            m_onlyIfNonZero->hide();
        } else {
            m_showLabel->hide();
            m_always->hide();
            m_never->hide();
            m_onlyIfNonZero->hide();
        }
        if (m_part == P::PART_SECONDARY_SYMBOL) {
            m_showPrimary->setChecked(m_format.m_showPrimaryAmount);
            m_showPrimary->setEnabled(text.isEmpty());
        } else {
            m_showPrimary->hide();
        }
    } else {
        m_none->hide();
        m_symbolOn->hide();
        m_symbol->hide();
        m_showPrimary->hide();
        m_always->setChecked(m_format.m_secondaryAlwaysShow);
        m_never->setChecked(m_format.m_secondaryNeverShow);
        m_onlyIfNonZero->setChecked(!m_format.m_showZeroSecondary);
    }
    if (IsSeparator()) {
        for (QWidget* w : std::initializer_list<QWidget*>{m_sizeLabel, m_size, m_arrows, m_percent,
                                                          m_alignLabel, m_alignment})
            w->hide();
    } else {
        m_size->setText(QString::number(m_format.GetRatioPercent(m_part)));
        m_upDown->setValue(m_format.GetRatioPercent(m_part));
        m_alignment->setCurrentIndex(m_format.GetPartAlignment(m_part));
    }

    // --- reactions ----------------------------------------------------------
    connect(m_none, &QRadioButton::clicked, this, [this] {
        m_symbol->clear();
        OnSymbolEdited(QString());
        EnableSymbol(false);
    });
    connect(m_symbolOn, &QRadioButton::clicked, this, [this] {
        EnableSymbol(true);
        m_symbol->setFocus();
    });
    connect(m_symbol, &QLineEdit::textChanged, this, &CPriceElmtPage::OnSymbolEdited);
    connect(m_size, &QLineEdit::textChanged, this, &CPriceElmtPage::OnSizeEdited);
    connect(m_upDown, &QSpinBox::valueChanged, this, [this](int value) {
        if (!m_loading && m_size->text() != QString::number(value))
            m_size->setText(QString::number(value));
    });
    connect(m_alignment, &QComboBox::activated, this, &CPriceElmtPage::OnAlignment);
    connect(m_always, &QCheckBox::clicked, this, &CPriceElmtPage::OnAlways);
    connect(m_never, &QCheckBox::clicked, this, &CPriceElmtPage::OnNever);
    connect(m_onlyIfNonZero, &QCheckBox::clicked, this, &CPriceElmtPage::OnOnlyIfNonZero);
    connect(m_showPrimary, &QCheckBox::clicked, this, [this](bool on) {
        m_format.m_showPrimaryAmount = on ? TRUE : FALSE;
        Changed();
    });
    m_loading = false;
}

QString CPriceElmtPage::PartText() const
{
    return m_part == kThousandsSeparator ? m_format.m_thousandsSeparator
                                         : m_format.GetPartText(m_part);
}

void CPriceElmtPage::SetPartText(const QString& text)
{
    if (m_part == kThousandsSeparator)
        m_format.m_thousandsSeparator = text;
    else
        m_format.SetPartText(m_part, text);
}

void CPriceElmtPage::EnableSymbol(bool on)
{
    m_symbol->setEnabled(on);
    m_size->setEnabled(on);
    m_upDown->setEnabled(on);
    m_arrows->setEnabled(on);
    m_alignment->setEnabled(on);
}

void CPriceElmtPage::OnSymbolEdited(const QString& text)
{
    if (m_loading || IsSecondaryAmount())
        return;
    SetPartText(text);
    if (m_part == P::PART_SECONDARY_SYMBOL) {
        // A secondary symbol shows the hundredths alone.
        m_format.m_showPrimaryAmount = text.isEmpty() ? TRUE : FALSE;
        m_showPrimary->setChecked(text.isEmpty());
        m_showPrimary->setEnabled(text.isEmpty());
    }
    Changed();
}

void CPriceElmtPage::OnSizeEdited(const QString& text)
{
    if (m_loading || text.size() < 2)
        return;
    bool ok = false;
    const int size = text.toInt(&ok);
    if (!ok || size < kMinSize || size > kMaxSize)
        return;
    m_loading = true;
    m_upDown->setValue(size);
    m_loading = false;
    // The separator follows the secondary amount (the format keeps that).
    m_format.SetPartRatio(m_part, size * 0.01);
    Changed();
}

void CPriceElmtPage::OnAlignment(int index)
{
    m_format.SetPartAlignment(m_part, index);
    Changed();
}

void CPriceElmtPage::OnAlways()
{
    const bool on = m_always->isChecked();
    if (m_part == P::PART_PRIMARY_SYMBOL) {
        m_format.m_symbolAfterAmount = on ? FALSE : TRUE;
        m_never->setChecked(!on);
    } else {
        m_format.m_secondaryAlwaysShow = on ? TRUE : FALSE;
        m_format.m_secondaryNeverShow = FALSE;
        m_format.m_showZeroSecondary = TRUE;
        m_never->setChecked(false);
        m_onlyIfNonZero->setChecked(false);
    }
    Changed();
}

void CPriceElmtPage::OnNever()
{
    const bool on = m_never->isChecked();
    if (m_part == P::PART_PRIMARY_SYMBOL) {
        m_format.m_symbolAfterAmount = on ? TRUE : FALSE;
        m_always->setChecked(!on);
    } else {
        m_format.m_secondaryNeverShow = on ? TRUE : FALSE;
        m_format.m_secondaryAlwaysShow = FALSE;
        m_format.m_showZeroSecondary = TRUE;
        m_always->setChecked(false);
        m_onlyIfNonZero->setChecked(false);
    }
    Changed();
}

void CPriceElmtPage::OnOnlyIfNonZero()
{
    m_format.m_showZeroSecondary = m_onlyIfNonZero->isChecked() ? FALSE : TRUE;
    m_format.m_secondaryAlwaysShow = FALSE;
    m_format.m_secondaryNeverShow = FALSE;
    m_always->setChecked(false);
    m_never->setChecked(false);
    Changed();
}

void CPriceElmtPage::Changed()
{
    m_sample.Reapply();
    m_sampleWnd->update();
}

void CPriceElmtPage::Activate()
{
    if (m_part == P::PART_SECONDARY_SYMBOL)
        m_sample.ShowPrice(QStringLiteral(".42"));
    else if (m_part == kThousandsSeparator)
        m_sample.ShowPrice(QStringLiteral("4200"));
    else
        m_sample.ShowPrice(QStringLiteral("42.00"));
    m_sample.HighlightPart(m_part == kThousandsSeparator ? P::PART_PRIMARY_AMOUNT : m_part);
    m_sampleWnd->update();
}

void CPriceElmtPage::initializePage()
{
    Activate();
}

bool CPriceElmtPage::CheckSize()
{
    if (IsSeparator() || !m_size->isEnabled())
        return true;
    bool ok = false;
    const int size = m_size->text().trimmed().toInt(&ok);
    if (ok && size >= kMinSize && size <= kMaxSize)
        return true;
    AppMessageBox(tr("Please enter an integer between %1 and %2.").arg(kMinSize).arg(kMaxSize));
    m_size->selectAll();
    m_size->setFocus();
    return false;
}

bool CPriceElmtPage::validatePage()
{
    return CheckSize();
}
