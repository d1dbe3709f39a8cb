#include "ZipCommands.h"

#include "MessageBox.h"
#include "ResourceIds.h"
#include "Strings.h"
#include "ui/ZipExport.h"
#include "ui/ZipImportDlg.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString ChooseFileFor(QWidget* parent, const CFileChoice& choice)
{
    QString path;
    if (const FileChooser& chooser = FrameHooks().chooseFile) {
        path = chooser(parent, choice);
    } else {
        QFileDialog dialog(parent, choice.title, choice.suggested, choice.filter);
        dialog.setAcceptMode(choice.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(choice.save       ? QFileDialog::AnyFile
                           : choice.multiple ? QFileDialog::ExistingFiles
                                             : QFileDialog::ExistingFile);
        if (!choice.defaultSuffix.isEmpty())
            dialog.setDefaultSuffix(choice.defaultSuffix);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = choice.multiple ? dialog.selectedFiles().join(u'\n')
                                   : dialog.selectedFiles().first();
    }
    if (!path.isEmpty() && choice.save && !choice.defaultSuffix.isEmpty() &&
        QFileInfo(path).suffix().isEmpty())
        path += u'.' + choice.defaultSuffix;
    return path;
}

QStringList ChooseFilesFor(QWidget* parent, CFileChoice choice)
{
    choice.save = false;
    choice.multiple = true;
    QStringList paths;
    for (const QString& path : ChooseFileFor(parent, choice).split(u'\n', Qt::SkipEmptyParts))
        paths << path;
    return paths;
}

QString ImportZipWithDialogs(QWidget* parent, const QString& startFolder)
{
    CFileChoice choice;
    choice.title = LoadStringId(IDS_IMPORT_FROM);
    choice.filter = QtFilterOf(LoadStringId(IDS_ZIP_IMPORT_FILTER));
    choice.suggested = startFolder;
    const QString package = ChooseFileFor(parent, choice);
    if (package.isEmpty())
        return QString();
    if (!QFileInfo(package).isFile()) {
        AppMessageBox(
            QObject::tr("%1\nThe file was not found.").arg(QDir::toNativeSeparators(package)),
            MB_OK | MB_ICONEXCLAMATION);
        return QString();
    }
    CZipImportDlg dialog(package, startFolder, parent);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.FirstSign();
}

CZipCommands::CZipCommands(CMainFrame* frame) : QObject(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("zipCommands"));
    frame->AddCommandTarget(this);
}

bool CZipCommands::HandlesCommand(int id) const
{
    return id == ID_EXPORT_ZIP || id == ID_IMPORT_ZIP;
}

bool CZipCommands::OnCommand(int id)
{
    switch (id) {
    case ID_EXPORT_ZIP:
        OnExport();
        return true;
    case ID_IMPORT_ZIP:
        OnImport();
        return true;
    default:
        return false;
    }
}

namespace {

QString StartFolder(CMainFrame* frame)
{
    if (FrameHooks().signFolder) {
        const QString folder = FrameHooks().signFolder();
        if (!folder.isEmpty())
            return folder;
    }
    const QString& path = frame->Document().GetPathName();
    return path.isEmpty() ? QDir::homePath() : QFileInfo(path).absolutePath();
}

} // namespace

void CZipCommands::OnExport()
{
    // The templates are packed from their files; the sign being edited
    // stays as it is, unsaved changes and undo steps included.
    CZipExport dialog(m_frame->Document().GetPathName(), StartFolder(m_frame), m_frame);
    dialog.exec();
}

void CZipCommands::OnImport()
{
    const QString sign = ImportZipWithDialogs(m_frame, StartFolder(m_frame));
    if (sign.isEmpty() || !m_frame->SaveModified())
        return;
    m_frame->OpenSign(sign);
}
