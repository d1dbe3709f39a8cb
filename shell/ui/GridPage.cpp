#include "GridPage.h"

#include "MessageBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>
#include <cmath>

namespace {

// The bounds of a typed interval, by the display unit.
constexpr double kMinMm = 1.0;
constexpr double kMaxMm = 1000.0;
constexpr double kMinInches = 0.04;
constexpr double kMaxInches = 39.0;

QString IdName(int id)
{
    return QStringLiteral("id%1").arg(id);
}

// A number as the page shows it: as many decimals as it has, no more.
QString FormatNumber(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

} // namespace

CGridPage::CGridPage(const CGrid::SheetValues& values, QWidget* parent)
    : QWidget(parent), m_inches(values.units == 1)
{
    setObjectName(IdName(IDD));
    auto check = [this](int id, const QString& text, bool on) {
        auto* box = new QCheckBox(text, this);
        box->setObjectName(IdName(id));
        box->setChecked(on);
        return box;
    };
    m_showGrid = check(IDC_SHOW_GRID, tr("S&how Grid"), values.showGrid);
    m_snapToGrid = check(IDC_SNAP_TO_GRID, tr("S&nap To Grid"), values.snapToGrid);
    m_snapToGuides = check(IDC_SNAP_TO_GUIDES, tr("Snap To G&uides"), values.snapToGuides);

    const QString unit = m_inches ? tr("inches") : tr("mm");
    auto* intervals = new QGridLayout;
    auto interval = [&](int row, int id, int unitId, const QString& caption, double value) {
        auto* edit = new QLineEdit(FormatNumber(value), this);
        edit->setObjectName(IdName(id));
        auto* label = new QLabel(caption, this);
        label->setBuddy(edit);
        auto* unitLabel = new QLabel(unit, this);
        unitLabel->setObjectName(IdName(unitId));
        intervals->addWidget(label, row, 0);
        intervals->addWidget(edit, row, 1);
        intervals->addWidget(unitLabel, row, 2);
        return edit;
    };
    m_intervalX = interval(0, IDC_INTERVAL_X, IDC_UNIT_X, tr("Horizontal:"), values.intervalX);
    m_intervalY = interval(1, IDC_INTERVAL_Y, IDC_UNIT_Y, tr("Vertical:"), values.intervalY);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_showGrid);
    layout->addWidget(m_snapToGrid);
    layout->addWidget(m_snapToGuides);
    layout->addLayout(intervals);
    layout->addStretch();
}

bool CGridPage::ReadInterval(QLineEdit* edit, double& value) const
{
    const double low = m_inches ? kMinInches : kMinMm;
    const double high = m_inches ? kMaxInches : kMaxMm;
    const QString text = edit->text().trimmed();
    bool ok = false;
    value = QLocale().toDouble(text, &ok);
    if (!ok)
        value = QLocale::c().toDouble(text, &ok);
    QString message;
    if (!ok || !std::isfinite(value))
        message = tr("Please enter a number.");
    else if (value < low || value > high)
        message = tr("Please enter a number between %1 and %2.")
                      .arg(FormatNumber(low), FormatNumber(high));
    if (message.isEmpty())
        return true;
    AppMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    edit->setFocus();
    edit->selectAll();
    return false;
}

bool CGridPage::Read(CGrid::SheetValues& values) const
{
    double x = 0;
    double y = 0;
    if (!ReadInterval(m_intervalX, x) || !ReadInterval(m_intervalY, y))
        return false;
    values.showGrid = m_showGrid->isChecked();
    values.snapToGrid = m_snapToGrid->isChecked();
    values.snapToGuides = m_snapToGuides->isChecked();
    values.intervalX = x;
    values.intervalY = y;
    return true;
}
