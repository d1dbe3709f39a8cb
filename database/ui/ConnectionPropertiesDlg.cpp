#include "ConnectionPropertiesDlg.h"

#include "FileName.h"
#include "MessageBox.h"
#include "SqlFormatDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

std::function<void(QWidget* parent, CDatabaseLink& link)> CConnectionPropertiesDlg::s_sqlFormat =
    [](QWidget* parent, CDatabaseLink& link) { RunSqlFormat(parent, link); };

namespace {

QLabel* ValueLabel(QWidget* parent, int id, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("id%1").arg(id));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

CConnectionPropertiesDlg::CConnectionPropertiesDlg(CDatabaseLink& link, QWidget* parent)
    : QDialog(parent), m_link(link)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setWindowTitle(tr("Database Connection Properties"));
    auto* layout = new QVBoxLayout(this);

    // What the sign is linked to.
    auto* database = new QGroupBox(tr("Database"), this);
    auto* grid = new QGridLayout(database);
    const CDatabaseTypeRow& type = DatabaseTypeRow(m_link.m_typeId);
    QString view;
    if (!m_link.m_customViewQuery.isEmpty())
        view = TheCustomViewList().NameOfQuery(m_link.m_customViewQuery);
    else if (!type.folderBased)
        view = m_link.CurrentTable();
    grid->addWidget(new QLabel(tr("File :"), database), 0, 0);
    grid->addWidget(ValueLabel(database, IDC_FILE, m_link.m_dataSource), 0, 1);
    grid->addWidget(new QLabel(tr("Type :"), database), 1, 0);
    grid->addWidget(ValueLabel(database, IDC_TYPE, QString::fromLatin1(type.name)), 1, 1);
    grid->addWidget(new QLabel(tr("View :"), database), 2, 0);
    grid->addWidget(ValueLabel(database, IDC_VIEW, view), 2, 1);
    auto* keyLabel = new QLabel(tr("&Key :"), database);
    m_key = new QComboBox(database);
    m_key->setObjectName(QStringLiteral("id%1").arg(IDC_KEY));
    keyLabel->setBuddy(m_key);
    if (m_link.IsConnected()) {
        m_key->addItems(m_link.FieldNames());
        m_key->setCurrentIndex(m_key->findText(m_link.GetKeyField(), Qt::MatchFixedString));
    }
    grid->addWidget(keyLabel, 3, 0);
    grid->addWidget(m_key, 3, 1);
    m_copyQuantity = new QCheckBox(tr("First Field Contains &Copy Quantity"), database);
    m_copyQuantity->setObjectName(QStringLiteral("id%1").arg(IDC_COPY_QUANTITY));
    m_copyQuantity->setChecked(m_link.m_firstFieldIsCopyQuantity != FALSE);
    grid->addWidget(m_copyQuantity, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(database);

    // The text schema, shown only: it is changed through the connection
    // wizard.
    auto* schema = new QGroupBox(tr("Text Schema"), this);
    auto* schemaLayout = new QVBoxLayout(schema);
    auto* delimiters = new QGroupBox(tr("&Delimiter"), schema);
    auto* delimiterRow = new QHBoxLayout(delimiters);
    const struct
    {
        int id;
        QString text;
        char delimiter;
    } radios[] = {{IDC_TAB, tr("Tab"), '\t'},
                  {IDC_SEMICOLON, tr("Semicolon"), ';'},
                  {IDC_COMMA, tr("Comma"), ','},
                  {IDC_SPACE, tr("Space"), ' '},
                  {IDC_OTHER, tr("Other :"), 0}};
    const bool text = m_link.m_typeId == kDatabaseTypeText;
    bool known = false;
    QRadioButton* other = nullptr;
    for (const auto& radio : radios) {
        auto* button = new QRadioButton(radio.text, delimiters);
        button->setObjectName(QStringLiteral("id%1").arg(radio.id));
        delimiterRow->addWidget(button);
        if (text && radio.delimiter != 0 && radio.delimiter == m_link.m_textDelimiter) {
            button->setChecked(true);
            known = true;
        }
        if (radio.id == IDC_OTHER)
            other = button;
    }
    auto* otherChar = new QLineEdit(delimiters);
    otherChar->setObjectName(QStringLiteral("id%1").arg(IDC_OTHER_CHAR));
    otherChar->setMaxLength(1);
    otherChar->setMaximumWidth(otherChar->fontMetrics().horizontalAdvance(QStringLiteral("MM")) +
                               12);
    delimiterRow->addWidget(otherChar);
    if (text && !known) {
        other->setChecked(true);
        otherChar->setText(QString(QChar::fromLatin1(m_link.m_textDelimiter)));
    }
    schemaLayout->addWidget(delimiters);
    auto* fileTypeRow = new QHBoxLayout;
    auto* fileTypeLabel = new QLabel(tr("File &Type :"), schema);
    auto* fileType = new QComboBox(schema);
    fileType->setObjectName(QStringLiteral("id%1").arg(IDC_FILE_TYPE));
    fileType->addItems({tr("Windows (ANSI)"), tr("DOS (ASCII)"), tr("Unicode (UTF-8)")});
    fileType->setCurrentIndex(text ? qBound(0, m_link.m_textFileType, 2) : -1);
    fileTypeLabel->setBuddy(fileType);
    fileTypeRow->addWidget(fileTypeLabel);
    fileTypeRow->addWidget(fileType, 1);
    schemaLayout->addLayout(fileTypeRow);
    auto* header = new QCheckBox(tr("First Row Contains Field Names"), schema);
    header->setObjectName(QStringLiteral("id%1").arg(IDC_HEADER));
    header->setChecked(text && m_link.m_textHeader);
    schemaLayout->addWidget(header);
    schema->setEnabled(false);
    layout->addWidget(schema);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id1"));
    box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id2"));
    auto* advanced = box->addButton(tr("Advanced..."), QDialogButtonBox::ActionRole);
    advanced->setObjectName(QStringLiteral("id%1").arg(IDC_ADVANCED));
    advanced->setEnabled(bool(s_sqlFormat));
    connect(advanced, &QPushButton::clicked, this, [this] {
        if (s_sqlFormat)
            s_sqlFormat(this, m_link);
    });
    connect(box, &QDialogButtonBox::accepted, this, &CConnectionPropertiesDlg::accept);
    connect(box, &QDialogButtonBox::rejected, this, &CConnectionPropertiesDlg::reject);
    layout->addWidget(box);
}

void CConnectionPropertiesDlg::accept()
{
    // A key the source does not have is never stored.
    if (m_key->currentIndex() >= 0)
        m_link.m_keyField = m_key->currentText();
    m_link.m_firstFieldIsCopyQuantity = m_copyQuantity->isChecked() ? TRUE : FALSE;
    QDialog::accept();
}

BOOL ShowConnectionProperties(QWidget* parent, CDatabaseLink& link)
{
    CConnectionPropertiesDlg dialog(link, parent);
    return dialog.exec() == QDialog::Accepted ? TRUE : FALSE;
}

// --- the error report -----------------------------------------------------------------------

CMdacErrorDlg::CMdacErrorDlg(const QString& description, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setWindowTitle(tr("Microsoft Data Access Components"));
    auto* layout = new QVBoxLayout(this);
    const auto paragraph = [this, layout](const QString& text) {
        auto* label = new QLabel(text, this);
        label->setWordWrap(true);
        layout->addWidget(label);
        return label;
    };
    paragraph(tr("Microsoft Data Access Components have reported a database connection error. "
                 "The following information has been provided :-"));
    m_description = paragraph(description);
    m_description->setObjectName(QStringLiteral("id%1").arg(IDC_DESCRIPTION));
    m_description->setTextFormat(Qt::PlainText);
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse);
    paragraph(tr("You may have incorrectly described the layout of your database, or the layout "
                 "may have changed since you first established a connection to it. For example, "
                 "you may have changed a column name or the number of data columns. "));
    paragraph(tr("To correct this problem you can either disconnect and then re-establish the "
                 "database connection, or revert to the previous database layout."));
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id1"));
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(box);
    setMaximumWidth(640);
}

QString CMdacErrorDlg::Description() const
{
    return m_description->text();
}

void ShowComError(const QString& description, QWidget* parent)
{
    (void)parent;
    // The report goes through the program's message boxes (a test answers
    // it there); the box presenter shows it as the error report.
    AppMessageBox(QStringLiteral("\"%1\"").arg(ElideMiddle(description, 400)),
                  MB_OK | MB_ICONEXCLAMATION, CMdacErrorDlg::IDD);
}

void InstallDatabaseErrorReport()
{
    CDatabaseLink::s_showError = [](const QString& error) { ShowComError(error); };
}
