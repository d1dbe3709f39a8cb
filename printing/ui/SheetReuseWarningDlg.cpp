#include "SheetReuseWarningDlg.h"

#include "MessageBox.h"
#include "SignApp.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("SkipDialog");

QString IdName(int id)
{
    return QStringLiteral("id%1").arg(id);
}

} // namespace

CSheetReuseWarningDlg::CSheetReuseWarningDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(IdName(IDD));
    setWindowTitle(tr("Warning"));

    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(size));
    icon->setAlignment(Qt::AlignTop);

    auto* text = new QLabel(
        tr("WARNING : The reuse of sheets of labels is not reccomended, as doing so may cause a "
           "paper jam and potentially damage your printer. No liability will be accepted for any "
           "damage so caused. Do you wish to continue?"),
        this);
    text->setObjectName(QStringLiteral("warningText"));
    text->setWordWrap(true);
    text->setMinimumWidth(360);

    m_dontWarn = new QCheckBox(tr("Don't warn me again"), this);
    m_dontWarn->setObjectName(IdName(IDC_DONT_WARN));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No, this);
    buttons->button(QDialogButtonBox::Yes)->setObjectName(IdName(IDOK));
    buttons->button(QDialogButtonBox::No)->setObjectName(IdName(IDCANCEL));
    buttons->button(QDialogButtonBox::No)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(8);
    top->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addWidget(m_dontWarn);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool CSheetReuseWarningDlg::DontWarnAgain() const
{
    return m_dontWarn->isChecked();
}

bool CSheetReuseWarningDlg::IsEnabled()
{
    return CSignApp::GetProfileInt(kSection, kKey, 1) != 0;
}

void CSheetReuseWarningDlg::Disable()
{
    CSignApp::WriteProfileInt(kSection, kKey, 0);
}
