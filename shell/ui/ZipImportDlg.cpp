#include "ZipImportDlg.h"

#include "CreateFolderDlg.h"
#include "MessageBox.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "Strings.h"
#include "WaitCursor.h"
#include "ZipCommands.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QString Id(int id)
{
    return QStringLiteral("id%1").arg(id);
}

} // namespace

CZipImportDlg::CZipImportDlg(const QString& packagePath, const QString& folder, QWidget* parent)
    : QDialog(parent), m_package(packagePath)
{
    setObjectName(QStringLiteral("zipImport"));
    setWindowTitle(tr("Import"));
    auto* layout = new QGridLayout(this);

    layout->addWidget(new QLabel(tr("Zip File :"), this), 0, 0);
    m_packageLabel = new QLabel(QDir::toNativeSeparators(packagePath), this);
    m_packageLabel->setObjectName(Id(IDC_PACKAGE));
    layout->addWidget(m_packageLabel, 0, 1, 1, 2);

    auto* folderLabel = new QLabel(tr("&Extract to :"), this);
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(Id(IDC_FOLDER));
    folderLabel->setBuddy(m_folder);
    auto* goTo = new QPushButton(QStringLiteral("->"), this);
    goTo->setObjectName(Id(IDC_GO_TO));
    goTo->setAutoDefault(false);
    layout->addWidget(folderLabel, 1, 0);
    layout->addWidget(m_folder, 1, 1);
    layout->addWidget(goTo, 1, 2);

    layout->addWidget(new QLabel(tr("Folder/drives"), this), 2, 0, 1, 3);
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QDir::rootPath());
    m_tree = new QTreeView(this);
    m_tree->setObjectName(Id(IDC_TREE));
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->header()->hide();
    layout->addWidget(m_tree, 3, 0, 1, 3);

    m_overwrite = new QCheckBox(tr("Overwrite existing files"), this);
    m_overwrite->setObjectName(Id(IDC_OVERWRITE));
    m_skipOlder = new QCheckBox(tr("Skip older files"), this);
    m_skipOlder->setObjectName(Id(IDC_SKIP_OLDER));
    layout->addWidget(m_overwrite, 4, 0, 1, 3);
    layout->addWidget(m_skipOlder, 5, 0, 1, 3);

    m_unpacking = new QLabel(this);
    m_unpacking->setObjectName(Id(IDC_UNPACKING));
    layout->addWidget(m_unpacking, 6, 0, 1, 3);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(Id(IDC_PROGRESS));
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    layout->addWidget(m_progress, 7, 0, 1, 3);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* import = buttons->addButton(tr("Import"), QDialogButtonBox::AcceptRole);
    import->setObjectName(Id(IDOK));
    import->setDefault(true);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(Id(IDCANCEL));
    QPushButton* newFolder = buttons->addButton(tr("New Folder..."), QDialogButtonBox::ActionRole);
    newFolder->setObjectName(Id(IDC_NEW_FOLDER));
    newFolder->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 8, 0, 1, 3);

    connect(goTo, &QPushButton::clicked, this, &CZipImportDlg::OnGoTo);
    connect(newFolder, &QPushButton::clicked, this, &CZipImportDlg::OnNewFolder);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    m_folder->setText(QDir::toNativeSeparators(m_model->filePath(current)));
            });

    if (!folder.isEmpty())
        SelectPath(folder);
    resize(460, 520);
}

bool CZipImportDlg::SelectPath(const QString& path)
{
    const QFileInfo info(QDir::fromNativeSeparators(path));
    if (!info.isDir())
        return false;
    const QModelIndex index = m_model->index(info.absoluteFilePath());
    if (!index.isValid())
        return false;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        m_tree->expand(parent);
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    return true;
}

void CZipImportDlg::OnGoTo()
{
    const QString text = m_folder->text().trimmed();
    if (text.isEmpty())
        return;
    if (!SelectPath(text))
        AppMessageBoxIdArgs(IDS_FOLDER_NOT_FOUND, {text}, MB_OK | MB_ICONEXCLAMATION);
}

void CZipImportDlg::OnNewFolder()
{
    CCreateFolderDlg dialog(m_folder->text().trimmed(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    SelectPath(dialog.GetPathName());
    m_folder->setText(QDir::toNativeSeparators(dialog.GetPathName()));
}

QString CZipImportDlg::FirstSign() const
{
    return m_imported && !m_result.Failed() ? m_result.firstSign : QString();
}

void CZipImportDlg::accept()
{
    const QString typed = m_folder->text().trimmed();
    if (typed.isEmpty()) {
        m_folder->setFocus();
        return;
    }
    // A folder typed that is not there yet is made (one level).
    const QString folder = QDir::fromNativeSeparators(typed);
    if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder)) {
        AppMessageBoxIdArgs(IDS_CANNOT_CREATE_FOLDER, {typed}, MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    CZipImportOptions options;
    options.overwrite = m_overwrite->isChecked();
    options.skipOlder = m_skipOlder->isChecked();
    {
        CWaitCursor wait;
        m_result =
            ImportZipPackage(m_package, folder, options, [this](const QString& name, int permille) {
                m_unpacking->setText(name);
                m_progress->setValue(permille);
                QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
    }
    m_imported = true;
    const QString shown = QDir::toNativeSeparators(m_package);
    if (m_result.Failed()) {
        QString text = FormatPlaceholders(LoadStringId(IDS_IMPORT_FAILED), {shown});
        if (!m_result.error.isEmpty())
            text += QStringLiteral("\n\n") + m_result.error;
        if (!m_result.refused.isEmpty())
            text += QStringLiteral("\n\n") + tr("These were not unpacked:") + u'\n' +
                    ListForMessage(m_result.refused);
        AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    } else {
        QString text = FormatPlaceholders(LoadStringId(IDS_IMPORT_SUCCEEDED), {shown});
        if (!m_result.kept.isEmpty())
            text += QStringLiteral("\n\n") + tr("These files were there already and were kept:") +
                    u'\n' + ListForMessage(m_result.kept);
        AppMessageBox(text, MB_OK | MB_ICONINFORMATION);
    }
    QDialog::accept();
}
