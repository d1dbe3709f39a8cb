#include "ZipExport.h"

#include "DatabaseLink.h"
#include "ExportOptionsDlg.h"
#include "MainFrame.h"
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
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Id(int id)
{
    return QStringLiteral("id%1").arg(id);
}

QPushButton* Button(QWidget* parent, const QString& text, int id)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(Id(id));
    button->setAutoDefault(false);
    return button;
}

// Holds back the painting of some widgets while it lives.
class CPaintPause
{
public:
    CPaintPause(std::initializer_list<QWidget*> widgets)
    {
        for (QWidget* widget : widgets)
            if (widget && widget->updatesEnabled()) {
                widget->setUpdatesEnabled(false);
                m_paused << widget;
            }
    }
    ~CPaintPause()
    {
        for (const QPointer<QWidget>& widget : m_paused)
            if (widget)
                widget->setUpdatesEnabled(true);
    }

private:
    QList<QPointer<QWidget>> m_paused;
};

} // namespace

// The lines of a list as a message shows them: the first few, then a count.
QString ListForMessage(const QStringList& lines)
{
    constexpr int kShown = 12;
    QStringList shown = lines.mid(0, kShown);
    if (lines.size() > kShown)
        shown << QObject::tr("... and %1 more").arg(lines.size() - kShown);
    return shown.join(u'\n');
}

CZipExport::CZipExport(const QString& signPath, const QString& folder, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("zipExport"));
    setWindowTitle(LoadStringId(IDS_EXPORT_AS));
    auto* layout = new QVBoxLayout(this);

    auto* nameRow = new QHBoxLayout;
    auto* nameLabel = new QLabel(tr("File &name:"), this);
    m_fileName = new QLineEdit(
        QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral("Untitled.zip"))), this);
    m_fileName->setObjectName(Id(IDC_FILE_NAME));
    nameLabel->setBuddy(m_fileName);
    QPushButton* browse = Button(this, tr("&Browse..."), IDC_BROWSE);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_fileName, 1);
    nameRow->addWidget(browse);
    layout->addLayout(nameRow);

    auto* body = new QHBoxLayout;
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(new QLabel(tr("Templates :"), this));
    m_list = new QListWidget(this);
    m_list->setObjectName(Id(IDC_TEMPLATES));
    listColumn->addWidget(m_list);
    auto* listButtons = new QHBoxLayout;
    QPushButton* add = Button(this, tr("Add..."), IDC_ADD);
    QPushButton* remove = Button(this, tr("Remove"), IDC_REMOVE);
    listButtons->addWidget(add);
    listButtons->addWidget(remove);
    listColumn->addLayout(listButtons);
    body->addLayout(listColumn, 1);

    auto* include = new QGroupBox(tr("Include"), this);
    auto* includeLayout = new QVBoxLayout(include);
    auto* templates = new QCheckBox(tr("&Templates"), include);
    templates->setObjectName(Id(IDC_INCLUDE_TEMPLATES));
    templates->setChecked(true); // templates always go
    templates->setEnabled(false);
    m_pictures = new QCheckBox(tr("&Pictures"), include);
    m_pictures->setObjectName(Id(IDC_INCLUDE_PICTURES));
    m_pictures->setChecked(true);
    m_databases = new QCheckBox(tr("&Databases"), include);
    m_databases->setObjectName(Id(IDC_INCLUDE_DATABASES));
    m_databases->setChecked(true);
    includeLayout->addWidget(templates);
    includeLayout->addWidget(m_pictures);
    includeLayout->addWidget(m_databases);
    includeLayout->addWidget(Button(include, tr("Advanced..."), IDC_ADVANCED));
    includeLayout->addStretch();
    body->addWidget(include);
    layout->addLayout(body);

    m_packing = new QLabel(this);
    m_packing->setObjectName(Id(IDC_PACKING));
    layout->addWidget(m_packing);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(Id(IDC_PROGRESS));
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    layout->addWidget(m_progress);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setObjectName(Id(IDOK));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(Id(IDCANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(browse, &QPushButton::clicked, this, &CZipExport::OnBrowse);
    connect(add, &QPushButton::clicked, this, &CZipExport::OnAdd);
    connect(remove, &QPushButton::clicked, this, &CZipExport::OnRemove);
    connect(findChild<QPushButton*>(Id(IDC_ADVANCED)), &QPushButton::clicked, this,
            &CZipExport::OnAdvanced);

    if (!signPath.isEmpty())
        AddTemplate(signPath);
    const CDatabaseLink& link = TheDatabaseLink();
    m_textDatabase = link.m_linkKind >= 0 && link.m_typeId == kDatabaseTypeText;
    resize(560, 380);
}

QString CZipExport::PackagePath() const
{
    QString path = QDir::fromNativeSeparators(m_fileName->text().trimmed());
    if (path.isEmpty())
        return path;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".zip");
    return QFileInfo(path).absoluteFilePath();
}

void CZipExport::AddTemplate(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    for (const QString& held : m_templates)
        if (held.compare(full, Qt::CaseInsensitive) == 0)
            return;
    m_templates << full;
    m_list->addItem(QFileInfo(full).fileName());
}

void CZipExport::OnBrowse()
{
    CFileChoice choice;
    choice.save = true;
    choice.title = LoadStringId(IDS_EXPORT_AS);
    choice.filter = QtFilterOf(LoadStringId(IDS_ZIP_EXPORT_FILTER));
    choice.defaultSuffix = QStringLiteral("zip");
    choice.suggested = PackagePath();
    const QString path = ChooseFileFor(this, choice);
    if (!path.isEmpty())
        m_fileName->setText(QDir::toNativeSeparators(path));
}

void CZipExport::OnAdd()
{
    CFileChoice choice;
    choice.title = tr("Add");
    choice.filter = QtFilterOf(QStringLiteral("Tabrel Files (*.sgn)|*.sgn|All Files (*.*)|*.*||"));
    choice.suggested = m_templates.isEmpty() ? QFileInfo(PackagePath()).absolutePath()
                                             : QFileInfo(m_templates.last()).absolutePath();
    // Several signs may be chosen at once; each is listed once.
    for (const QString& path : ChooseFilesFor(this, choice)) {
        if (QFileInfo(path).isFile())
            AddTemplate(path);
    }
}

void CZipExport::OnRemove()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_templates.size())
        return;
    m_templates.removeAt(row);
    delete m_list->takeItem(row);
}

void CZipExport::OnAdvanced()
{
    m_options.pictures = m_pictures->isChecked();
    m_options.databases = m_databases->isChecked();
    CExportOptionsDlg dialog(m_options, m_textDatabase, this);
    if (dialog.exec() == QDialog::Accepted)
        m_options = dialog.Options();
}

void CZipExport::accept()
{
    const QString path = PackagePath();
    if (path.isEmpty())
        return;
    const QString shown = QDir::toNativeSeparators(path);
    if (QFileInfo::exists(path) &&
        AppMessageBox(tr("%1 already exists.\nDo you want to replace it?").arg(shown),
                      MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;

    CZipExportOptions options = m_options;
    options.pictures = m_pictures->isChecked();
    options.databases = m_databases->isChecked();
    options.picturesToSubfolder = options.picturesToSubfolder && options.pictures;
    options.databasesToSubfolder = options.databasesToSubfolder && options.databases;
    options.schemaFile = options.schemaFile && options.databases;

    {
        CWaitCursor wait;
        // Each template is read into a context of its own: the canvas and
        // the pane, which show the sign being edited, are not painted
        // meanwhile (a progress window lets paint events through).
        const auto* frame = qobject_cast<const CMainFrame*>(parentWidget());
        CPaintPause pause(
            {frame ? frame->Canvas() : nullptr, frame ? frame->PropertyPane() : nullptr});
        m_result =
            ExportZipPackage(path, m_templates, options, [this](const QString& name, int permille) {
                m_packing->setText(name);
                m_progress->setValue(permille);
                QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
    }
    if (!m_result.written) {
        AppMessageBox(
            FormatPlaceholders(LoadStringId(IDS_EXPORT_FAILED), {shown}) + QStringLiteral("\n\n") +
                m_result.error +
                (m_result.omitted.isEmpty() ? QString() : u'\n' + ListForMessage(m_result.omitted)),
            MB_OK | MB_ICONEXCLAMATION);
    } else if (!m_result.omitted.isEmpty()) {
        AppMessageBox(tr("%1 was written, but these were left out of it:\n\n%2")
                          .arg(shown, ListForMessage(m_result.omitted)),
                      MB_OK | MB_ICONEXCLAMATION);
    } else {
        AppMessageBoxIdArgs(IDS_EXPORT_SUCCEEDED, {shown}, MB_OK | MB_ICONINFORMATION);
    }
    QDialog::accept();
}
