#include "HeaderFooterDlg.h"

#include "AppContext.h"
#include "Helpers.h"
#include "MessageBox.h"
#include "PageLabels.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

CHeaderFooterDlg::FontChooser CHeaderFooterDlg::s_chooseFont;

namespace {

QString IdName(int id)
{
    return QStringLiteral("id%1").arg(id);
}

QColor ToQColor(COLORREF colour)
{
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

COLORREF FromQColor(const QColor& colour)
{
    return MakeRGB(colour.red(), colour.green(), colour.blue());
}

// Offsets are shown in the user's locale, without digit grouping.
QLocale DisplayLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString FormatOffset(double value)
{
    return DisplayLocale().toString(value, 'g', 15);
}

// A number typed in the user's locale, or with a decimal point.
bool ParseOffset(const QString& text, double& value)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    value = DisplayLocale().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    return ok;
}

// The font dialog, with a button for the text colour beside it.
std::optional<CFontChoice> RunFontDialog(QWidget* parent, const CFontChoice& initial)
{
    QDialog box(parent);
    box.setWindowTitle(QObject::tr("Font"));

    auto* fonts = new QFontDialog(initial.font, &box);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);

    QColor colour = ToQColor(initial.colour);
    auto* colourButton = new QPushButton(QObject::tr("&Colour..."), &box);
    const auto showColour = [colourButton, &colour]() {
        QPixmap swatch(16, 16);
        swatch.fill(colour);
        colourButton->setIcon(QIcon(swatch));
    };
    showColour();
    QObject::connect(colourButton, &QPushButton::clicked, &box, [&]() {
        const QColor chosen = QColorDialog::getColor(colour, &box);
        if (chosen.isValid()) {
            colour = chosen;
            showColour();
        }
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(colourButton);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(fonts);
    layout->addLayout(bottom);

    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return CFontChoice{fonts->currentFont(), FromQColor(colour)};
}

} // namespace

CHeaderFooterDlg::CHeaderFooterDlg(CPageLabels& labels, QWidget* parent)
    : QDialog(parent), m_labels(labels), m_inches(App().general.displayUnits == 1)
{
    setObjectName(IdName(IDD));
    setWindowTitle(tr("Header and Footer"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildItem(CPageLabels::HEADER, tr("Header")));
    layout->addWidget(BuildItem(CPageLabels::FOOTER, tr("Footer")));

    for (const QString& help :
         {tr("Left : Centre : Right"), tr("$p = Page Number  $d = Date<Format>  $t = Time<Format>"),
          tr("$f = File Name (No Path)  $w = File Name (With Path)"),
          tr("$u = User Name  $e<Text1> = Data From Template Element 'Text1'")})
        layout->addWidget(new QLabel(help, this));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(IdName(IDOK));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(IdName(IDCANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &CHeaderFooterDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CHeaderFooterDlg::reject);
    layout->addWidget(buttons);

    for (int item = CPageLabels::HEADER; item <= CPageLabels::FOOTER; ++item)
        UpdateEnabled(item);
}

CHeaderFooterDlg::~CHeaderFooterDlg() = default;

QWidget* CHeaderFooterDlg::BuildItem(int item, const QString& title)
{
    const CPageLabelItem& source = m_labels.Item(item);
    Controls& c = m_controls[std::size_t(item)];
    Working& w = m_work[std::size_t(item)];
    w.font = source.font;
    w.colour = source.textColour;
    const bool header = item == CPageLabels::HEADER;

    auto* group = new QGroupBox(title, this);
    c.print = new QCheckBox(tr("&Print"), group);
    c.print->setObjectName(IdName(header ? IDC_PRINT_HEADER : IDC_PRINT_FOOTER));
    c.everyPage = new QRadioButton(tr("On &Every Page"), group);
    c.everyPage->setObjectName(IdName(header ? IDC_EVERY_PAGE_HEADER : IDC_EVERY_PAGE_FOOTER));
    c.firstPage = new QRadioButton(tr("As First &Page"), group);
    c.firstPage->setObjectName(IdName(header ? IDC_FIRST_PAGE_HEADER : IDC_FIRST_PAGE_FOOTER));
    c.pages = new QButtonGroup(group);
    c.pages->addButton(c.everyPage);
    c.pages->addButton(c.firstPage);
    c.offset = new QLineEdit(group);
    c.offset->setObjectName(IdName(header ? IDC_OFFSET_HEADER : IDC_OFFSET_FOOTER));
    c.units = new QLabel(m_inches ? tr("inches") : tr("mm"), group);
    c.units->setObjectName(header ? QStringLiteral("headerUnits") : QStringLiteral("footerUnits"));
    c.format = new QLineEdit(group);
    c.format->setObjectName(IdName(header ? IDC_FORMAT_HEADER : IDC_FORMAT_FOOTER));
    c.font = new QPushButton(tr("F&ont..."), group);
    c.font->setObjectName(IdName(header ? IDC_FONT_HEADER : IDC_FONT_FOOTER));

    c.print->setChecked(source.print != 0);
    (source.asFirstPage == 1 ? c.firstPage : c.everyPage)->setChecked(true);
    double shown = source.offset * 0.1;
    if (m_inches)
        MmToInches(shown);
    c.shownOffset = FormatOffset(shown);
    c.offset->setText(c.shownOffset);
    c.format->setText(source.format);

    auto* grid = new QGridLayout(group);
    grid->addWidget(c.print, 0, 0);
    grid->addWidget(c.everyPage, 0, 1);
    grid->addWidget(c.firstPage, 0, 2);
    auto* offsetLabel = new QLabel(tr("Offset &By"), group);
    offsetLabel->setBuddy(c.offset);
    grid->addWidget(offsetLabel, 1, 0);
    auto* offsetRow = new QHBoxLayout;
    offsetRow->addWidget(c.offset);
    offsetRow->addWidget(c.units);
    offsetRow->addStretch();
    grid->addLayout(offsetRow, 1, 1, 1, 2);
    auto* formatLabel = new QLabel(tr("F&ormat"), group);
    formatLabel->setBuddy(c.format);
    grid->addWidget(formatLabel, 2, 0);
    grid->addWidget(c.format, 2, 1, 1, 2);
    grid->addWidget(c.font, 2, 3);

    connect(c.print, &QCheckBox::toggled, this, [this, item]() { UpdateEnabled(item); });
    connect(c.font, &QPushButton::clicked, this, [this, item]() { OnFont(item); });
    return group;
}

void CHeaderFooterDlg::UpdateEnabled(int item)
{
    Controls& c = m_controls[std::size_t(item)];
    const bool on = c.print->isChecked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{c.everyPage, c.firstPage, c.offset, c.format, c.font})
        w->setEnabled(on);
}

QFont CHeaderFooterDlg::ToQFont(const CLogFont& font)
{
    const LogFontFields& lf = font.GetLogFont();
    QFont q(font.GetFaceName());
    const double points = font.HeightToPoints();
    if (points > 0)
        q.setPointSizeF(points);
    q.setWeight(QFont::Weight(std::clamp<int>(lf.lfWeight > 0 ? lf.lfWeight : 400, 1, 1000)));
    q.setItalic(lf.lfItalic != 0);
    q.setUnderline(lf.lfUnderline != 0);
    q.setStrikeOut(lf.lfStrikeOut != 0);
    return q;
}

CLogFont CHeaderFooterDlg::FromQFont(const QFont& chosen, const CLogFont& previous)
{
    CLogFont font = previous;
    // The family the dialog was seeded with may come back as the installed
    // face that stands for it ("Liberation Sans" for "Arial"): that is no change.
    const QString family = chosen.family();
    const QString resolved = QFontInfo(QFont(previous.GetFaceName())).family();
    const bool same = family.compare(previous.GetFaceName(), Qt::CaseInsensitive) == 0 ||
                      family.compare(previous.GetMeasuredFace(), Qt::CaseInsensitive) == 0 ||
                      family.compare(resolved, Qt::CaseInsensitive) == 0;
    if (!same && !family.isEmpty())
        font.SetFaceName(CLogFont::FitFaceName(family));

    LogFontFields lf = font.GetLogFont();
    lf.lfWeight = std::clamp(int(chosen.weight()), 1, 1000);
    lf.lfItalic = chosen.italic() ? 1 : 0;
    lf.lfUnderline = chosen.underline() ? 1 : 0;
    lf.lfStrikeOut = chosen.strikeOut() ? 1 : 0;
    font.SetLogFont(lf);

    // The size in points is the em size; the record holds the cell height of
    // the (possibly new) face.
    const double points =
        chosen.pointSizeF() > 0 ? chosen.pointSizeF() : QFontInfo(chosen).pointSizeF();
    if (points > 0)
        font.SetHeight(font.PointsToHeight(points));
    return font;
}

void CHeaderFooterDlg::OnFont(int item)
{
    Working& w = m_work[std::size_t(item)];
    const CFontChoice initial{ToQFont(w.font), w.colour};
    const std::optional<CFontChoice> chosen =
        s_chooseFont ? s_chooseFont(this, initial) : RunFontDialog(this, initial);
    if (!chosen)
        return;
    w.font = FromQFont(chosen->font, w.font);
    w.colour = chosen->colour;
}

bool CHeaderFooterDlg::ReadOffset(int item, int& offset)
{
    Controls& c = m_controls[std::size_t(item)];
    offset = m_labels.Item(item).offset;
    // Untouched: the stored offset, without a round trip through the
    // displayed (for inches, rounded) value.
    if (c.offset->text() == c.shownOffset)
        return true;

    const double limit = m_inches ? kMaxOffsetInches : kMaxOffsetMm;
    double value = 0;
    const bool number = ParseOffset(c.offset->text(), value);
    if (!number || !(value >= 0 && value <= limit)) {
        if (!c.print->isChecked())
            return true; // not printed and not editable: the stored value stays
        const QString text =
            number ? tr("Please enter a number between 0 and %1.").arg(FormatOffset(limit))
                   : tr("Please enter a number.");
        AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        c.offset->setFocus();
        c.offset->selectAll();
        return false;
    }
    if (m_inches)
        InchesToMm(value);
    offset = static_cast<int>(value * 10);
    return true;
}

void CHeaderFooterDlg::accept()
{
    std::array<int, 2> offsets{};
    for (int item = CPageLabels::HEADER; item <= CPageLabels::FOOTER; ++item) {
        if (!ReadOffset(item, offsets[std::size_t(item)]))
            return;
    }

    for (int item = CPageLabels::HEADER; item <= CPageLabels::FOOTER; ++item) {
        const Controls& c = m_controls[std::size_t(item)];
        const Working& w = m_work[std::size_t(item)];
        CPageLabelItem& target = m_labels.Item(item);
        target.format = c.format->text();
        target.print = c.print->isChecked() && !target.format.isEmpty() ? 1 : 0;
        target.asFirstPage = c.firstPage->isChecked() ? 1 : 0;
        target.offset = offsets[std::size_t(item)];
        target.font = w.font;
        target.textColour = w.colour;
        if (target.print)
            m_labels.CreateTextItems(item, target.textColour);
        else
            m_labels.DeleteTextItems(item);
    }
    QDialog::accept();
}

BOOL EditHeaderFooter(QWidget* parent)
{
    CHeaderFooterDlg dialog(ThePageLabels(), parent);
    return dialog.exec() == QDialog::Accepted ? TRUE : FALSE;
}
