#include "CompoundFilterDlg.h"

#include "Messages.h"
#include "RecordFilter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CCompoundFilterDlg::CCompoundFilterDlg(const CDatabaseLink& link, QWidget* parent)
    : QDialog(parent), m_own(link)
{
    setWindowTitle(tr("Filter"));
    setObjectName(QStringLiteral("CompoundFilterDlg"));
    // The dialog's own records: the sign's, restriction included.
    m_base = link.GetCurrentSql(true, true);
    if (m_base.isEmpty())
        m_base = link.GetDefaultSql();
    m_own.OpenRecordset(m_base);
    m_result = m_base;
    const QStringList names = m_own.FieldNames();
    const QString key = m_own.GetKeyField();

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        auto* fieldLabel = new QLabel(tr("&%1. Field :").arg(i + 1), this);
        m_fields[i] = new QComboBox(this);
        m_fields[i]->setObjectName(QStringLiteral("id%1").arg(IDC_FIELD1 + i));
        m_fields[i]->addItems(names);
        int shown = 0;
        for (int n = 0; n < names.size(); ++n) {
            if (names[n].compare(key, Qt::CaseInsensitive) == 0)
                shown = n;
        }
        m_fields[i]->setCurrentIndex(names.isEmpty() ? -1 : shown);
        fieldLabel->setBuddy(m_fields[i]);
        auto* dataLabel = new QLabel(tr("Data :"), this);
        m_data[i] = new QLineEdit(this);
        m_data[i]->setObjectName(QStringLiteral("id%1").arg(IDC_DATA1 + i));
        dataLabel->setBuddy(m_data[i]);
        grid->addWidget(fieldLabel, i, 0);
        grid->addWidget(m_fields[i], i, 1);
        grid->addWidget(dataLabel, i, 2);
        grid->addWidget(m_data[i], i, 3);
        connect(m_data[i], &QLineEdit::textChanged, this, [this] { OnDataEdited(); });
    }
    layout->addLayout(grid);

    auto* row = new QHBoxLayout;
    m_apply = new QPushButton(tr("Apply"), this);
    m_apply->setObjectName(QStringLiteral("id%1").arg(IDC_APPLY));
    m_reset = new QPushButton(tr("Reset"), this);
    m_reset->setObjectName(QStringLiteral("id%1").arg(IDC_RESET));
    row->addWidget(m_apply);
    row->addWidget(m_reset);
    row->addStretch(1);
    row->addWidget(new QLabel(tr("Records Generated :"), this));
    m_countText = new QLabel(this);
    m_countText->setObjectName(QStringLiteral("id%1").arg(IDC_COUNT));
    row->addWidget(m_countText);
    layout->addLayout(row);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("idOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("idCancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (m_count > 0)
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_apply, &QPushButton::clicked, this, [this] { OnApply(); });
    connect(m_reset, &QPushButton::clicked, this, [this] { OnReset(); });
    m_apply->setEnabled(false);
    ShowCount();
}

void CCompoundFilterDlg::OnDataEdited()
{
    bool any = false;
    for (QLineEdit* edit : m_data)
        any = any || !edit->text().isEmpty();
    m_apply->setEnabled(any);
}

void CCompoundFilterDlg::OnApply()
{
    QVector<std::pair<QString, QString>> texts;
    for (int i = 0; i < 3; ++i)
        texts.push_back({m_fields[i]->currentText(), m_data[i]->text()});
    const QString condition = CRecordFilter::StartsWithAll(m_own, texts);
    if (condition.isEmpty())
        return;
    const QString statement = CRecordFilter::AddCondition(m_base, condition);
    m_count = m_own.OpenRecordset(statement);
    if (m_count > 0) {
        m_condition = condition;
        m_result = statement;
    } else {
        m_count = 0;
        AppMessageBoxId(IDS_NO_RECORDS_FOR_THIS_FILTER, MB_OK | MB_ICONEXCLAMATION);
    }
    ShowCount();
}

void CCompoundFilterDlg::OnReset()
{
    for (QLineEdit* edit : m_data)
        edit->clear();
    m_own.OpenRecordset(m_base);
    m_condition.clear();
    m_result = m_base;
    m_count = 0;
    ShowCount();
}

void CCompoundFilterDlg::ShowCount()
{
    m_countText->setText(QString::number(m_count));
    m_ok->setEnabled(m_count > 0);
    m_reset->setEnabled(m_count > 0);
}
