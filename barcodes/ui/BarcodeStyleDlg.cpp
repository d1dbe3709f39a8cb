#include "BarcodeStyleDlg.h"

#include "MessageBox.h"
#include "Messages.h"
#include "Strings.h"
#include "Symbology.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A typed number in the C locale or the user's; NaN when it is none.
double ReadNumber(const QString& typed)
{
    const QString text = typed.trimmed();
    bool ok = false;
    double value = text.toDouble(&ok);
    if (!ok)
        value = QLocale().toDouble(text, &ok);
    return ok && std::isfinite(value) ? value : std::numeric_limits<double>::quiet_NaN();
}

QString Mils(float inches)
{
    return QString::number(double(inches) * 1000.0, 'f', 2);
}

} // namespace

CBarcodeStyleDlg::CBarcodeStyleDlg(CBarcodeStyle& style, QWidget* parent)
    : QDialog(parent), m_style(style), m_nameEditable(style.name.isEmpty())
{
    setObjectName(QStringLiteral("id%1").arg(kDialogId));
    setWindowTitle(tr("Custom Barcode Style"));
    auto edit = [this](int id, const QString& text) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(QStringLiteral("id%1").arg(id));
        return e;
    };
    m_name = edit(1050, style.name);
    m_name->setEnabled(m_nameEditable);
    m_description = edit(1200, style.description);
    m_xDimension = edit(1126, Mils(style.xDimension));
    const bool ratioCode = style.family == FAMILY_RATIO;
    m_ratio = edit(1375, ratioCode ? QString::number(style.ratio / 100.0, 'f', 2) : QString());
    m_ratio->setEnabled(ratioCode);
    m_printGain = edit(1270, Mils(style.printGain));

    auto* form = new QFormLayout;
    form->addRow(tr("&Name:"), m_name);
    form->addRow(tr("&Description:"), m_description);
    form->addRow(tr("&X Dimension (mils):"), m_xDimension);
    auto* ratioRow = new QHBoxLayout;
    ratioRow->addWidget(m_ratio);
    ratioRow->addWidget(new QLabel(QStringLiteral(": 1"), this));
    form->addRow(tr("&Ratio:"), ratioRow);
    form->addRow(tr("Print &Gain (mils):"), m_printGain);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CBarcodeStyleDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString CBarcodeStyleDlg::ReadTyped(CBarcodeStyle& out) const
{
    out = m_style;
    if (m_nameEditable) {
        const QString name = m_name->text().trimmed();
        const CBarcodeStyle* same = TheBarcodeStyleList().Find(name, m_style.family);
        if (name.isEmpty() || (same && same->name == name))
            return LoadStringId(IDS_INVALID_STYLE_NAME);
        out.name = name;
    }
    out.description = m_description->text();
    const double x = ReadNumber(m_xDimension->text());
    const double gain = ReadNumber(m_printGain->text());
    out.xDimension = std::isnan(x) ? std::numeric_limits<float>::quiet_NaN()
                                   : float(std::clamp(x, -1.0e6, 1.0e6) * 0.001);
    out.printGain = std::isnan(gain) ? std::numeric_limits<float>::quiet_NaN()
                                     : float(std::clamp(gain, -1.0e6, 1.0e6) * 0.001);
    if (m_style.family == FAMILY_RATIO) {
        const double ratio = ReadNumber(m_ratio->text());
        // Out of range (or no number) stays out of range, without overflow.
        out.ratio = std::isnan(ratio) ? 0 : int(std::clamp(ratio, -1.0e6, 1.0e6) * 100.0);
    }
    out.userDefined = TRUE;
    return out.Validate();
}

void CBarcodeStyleDlg::accept()
{
    CBarcodeStyle typed;
    const QString reason = ReadTyped(typed);
    if (!reason.isEmpty()) {
        AppMessageBox(reason, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_style = typed;
    QDialog::accept();
}
