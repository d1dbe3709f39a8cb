#include "ExportOptionsDlg.h"

#include "Commands.h"
#include "MessageBox.h"
#include "SignApp.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString Id(int id)
{
    return QStringLiteral("id%1").arg(id);
}

struct CSideFile
{
    int id;
    const char* text;
    bool CZipExportOptions::*member;
};

const CSideFile kSideFiles[7] = {
    {CExportOptionsDlg::IDC_PAPER_DESIGNS, "All &Paper Designs", &CZipExportOptions::paperDesigns},
    {CExportOptionsDlg::IDC_MACRO_SCRIPTS, "All &Macro Scripts", &CZipExportOptions::macroScripts},
    {CExportOptionsDlg::IDC_PRICE_FORMATS, "All Price &Formats", &CZipExportOptions::priceFormats},
    {CExportOptionsDlg::IDC_BARCODE_STYLES, "All &Barcode Styles",
     &CZipExportOptions::barcodeStyles},
    {CExportOptionsDlg::IDC_DATABASE_FILTERS, "&Database Filters",
     &CZipExportOptions::databaseFilters},
    {CExportOptionsDlg::IDC_SERIAL_NUMBERS, "Serial &Numbers", &CZipExportOptions::serialNumbers},
    {CExportOptionsDlg::IDC_CUSTOM_DICTIONARY, "&Custom Dictionary",
     &CZipExportOptions::customDictionary},
};

// A "Target Folder" / "Target Subfolder :" pair with its name box.
QGroupBox* TargetGroup(QWidget* parent, const QString& title, int rootId, int subId, int editId,
                       bool enabled, QRadioButton*& root, QRadioButton*& sub, QLineEdit*& edit)
{
    auto* group = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(group);
    root = new QRadioButton(QObject::tr("Target Folder"), group);
    root->setObjectName(Id(rootId));
    sub = new QRadioButton(QObject::tr("Target Subfolder :"), group);
    sub->setObjectName(Id(subId));
    edit = new QLineEdit(group);
    edit->setObjectName(Id(editId));
    edit->setMaxLength(100);
    auto* buttons = new QButtonGroup(group);
    buttons->addButton(root);
    buttons->addButton(sub);
    grid->addWidget(root, 0, 0, 1, 2);
    grid->addWidget(sub, 1, 0);
    grid->addWidget(edit, 1, 1);
    root->setEnabled(enabled);
    sub->setEnabled(enabled);
    return group;
}

} // namespace

CExportOptionsDlg::CExportOptionsDlg(const CZipExportOptions& options, bool textDatabase,
                                     QWidget* parent)
    : QDialog(parent), m_options(options)
{
    setObjectName(QStringLiteral("exportOptions"));
    setWindowTitle(tr("Export Options"));
    auto* layout = new QVBoxLayout(this);

    layout->addWidget(TargetGroup(this, tr("Pictures"), IDC_PICTURES_ROOT, IDC_PICTURES_SUBFOLDER,
                                  IDC_PICTURE_FOLDER, options.pictures, m_picturesRoot,
                                  m_picturesSub, m_pictureFolder));
    auto* database = TargetGroup(this, tr("Databases"), IDC_DATABASE_ROOT, IDC_DATABASE_SUBFOLDER,
                                 IDC_DATABASE_FOLDER, options.databases, m_databaseRoot,
                                 m_databaseSub, m_databaseFolder);
    m_schema = new QCheckBox(tr("Include &Schema File"), database);
    m_schema->setObjectName(Id(IDC_SCHEMA));
    // Only a text database has a schema file, and it is then chosen.
    const bool schema = options.databases && textDatabase;
    m_schema->setEnabled(schema);
    m_schema->setChecked(schema);
    static_cast<QGridLayout*>(database->layout())->addWidget(m_schema, 2, 0, 1, 2);
    layout->addWidget(database);

    (options.picturesToSubfolder ? m_picturesSub : m_picturesRoot)->setChecked(true);
    m_pictureFolder->setText(options.pictureSubfolder);
    (options.databasesToSubfolder ? m_databaseSub : m_databaseRoot)->setChecked(true);
    m_databaseFolder->setText(options.databaseSubfolder);

    auto* include = new QGroupBox(tr("Include"), this);
    auto* includeLayout = new QVBoxLayout(include);
    for (int i = 0; i < 7; ++i) {
        m_sideFiles[i] = new QCheckBox(tr(kSideFiles[i].text), include);
        m_sideFiles[i]->setObjectName(Id(kSideFiles[i].id));
        m_sideFiles[i]->setChecked(options.*kSideFiles[i].member);
        includeLayout->addWidget(m_sideFiles[i]);
    }
    layout->addWidget(include);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(Id(IDOK));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(Id(IDCANCEL));
    buttons->button(QDialogButtonBox::Help)->setObjectName(Id(ID_HELP));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Help opens the topic of zip packages.
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [] { CSignApp::WinHelp(QStringLiteral("zip")); });
    layout->addWidget(buttons);

    for (QRadioButton* radio : {m_picturesRoot, m_picturesSub, m_databaseRoot, m_databaseSub})
        connect(radio, &QRadioButton::toggled, this, [this] { UpdateTargets(); });
    UpdateTargets();
}

void CExportOptionsDlg::UpdateTargets()
{
    const auto update = [](bool included, QRadioButton* sub, QLineEdit* edit) {
        const bool on = included && sub->isChecked();
        if (!on)
            edit->clear();
        edit->setEnabled(on);
    };
    update(m_options.pictures, m_picturesSub, m_pictureFolder);
    update(m_options.databases, m_databaseSub, m_databaseFolder);
}

void CExportOptionsDlg::accept()
{
    CZipExportOptions options = m_options;
    options.picturesToSubfolder = m_options.pictures && m_picturesSub->isChecked();
    options.pictureSubfolder = options.picturesToSubfolder ? m_pictureFolder->text() : QString();
    options.databasesToSubfolder = m_options.databases && m_databaseSub->isChecked();
    options.databaseSubfolder = options.databasesToSubfolder ? m_databaseFolder->text() : QString();
    options.schemaFile = m_schema->isEnabled() && m_schema->isChecked();
    for (int i = 0; i < 7; ++i)
        options.*kSideFiles[i].member = m_sideFiles[i]->isChecked();

    // A name that would lead out of the package, or is only dots, is
    // refused here rather than changed silently.
    const struct
    {
        bool used;
        QString name;
        QLineEdit* edit;
    } folders[] = {{options.picturesToSubfolder, options.pictureSubfolder, m_pictureFolder},
                   {options.databasesToSubfolder, options.databaseSubfolder, m_databaseFolder}};
    for (const auto& folder : folders) {
        bool ok = true;
        if (folder.used)
            CleanPackageFolderName(folder.name, &ok);
        if (!ok) {
            AppMessageBox(tr("\"%1\" cannot be a folder of the package: give a name of letters "
                             "and digits.")
                              .arg(folder.name),
                          MB_OK | MB_ICONEXCLAMATION);
            folder.edit->setFocus();
            return;
        }
    }
    m_options = options;
    QDialog::accept();
}
