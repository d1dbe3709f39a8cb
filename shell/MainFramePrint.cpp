// The main frame's print commands and the sign's own dialogs: Print, Print
// Setup, Properties and Header and Footer.
#include "MainFrame.h"

#include "ElementList.h"
#include "HeaderFooterDlg.h"
#include "Messages.h"
#include "PrintAbortDlg.h"
#include "PrintCommands.h"
#include "PrintSetupDlg.h"
#include "PrintSignDlg.h"
#include "Printer.h"
#include "ui/SignPropertiesDlg.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>

namespace {

// Beside the sign, named after it; an untitled sign's in the documents folder.
QString SuggestedPrintFile(const CSignData& document)
{
    const QString& path = document.GetPathName();
    if (!path.isEmpty()) {
        const QFileInfo info(path);
        return info.dir().filePath(info.completeBaseName() + QStringLiteral(".pdf"));
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("Output.pdf"));
}

} // namespace

void CMainFrame::InstallPrintHooks()
{
    // Jobs show the Printing window, and the virtual printer asks for its
    // file through the frame's file box.
    InstallPrintWindow();
    CPrinter::s_choosePrintFile = [frame = QPointer<CMainFrame>(this)](const QString& suggested) {
        return frame ? frame->ChoosePrintFile(suggested) : QString();
    };
    CPrinter::s_printerSetupDialog = [frame = QPointer<CMainFrame>(this)] {
        return PrinterSetup(frame) == QDialog::Accepted ? 1 : 0;
    };
}

QString CMainFrame::ChoosePrintFile(const QString& suggested)
{
    CFileChoice choice;
    choice.save = true;
    choice.title = LoadStringId(IDS_PRINT_TO_FILE);
    choice.filter = tr("PDF Files (*.pdf);;All Files (*)");
    choice.defaultSuffix = QStringLiteral("pdf");
    // A sign kept in a file prints beside it; a bare name proposed by the
    // caller keeps its name there.
    choice.suggested = suggested.isEmpty() ? SuggestedPrintFile(m_document) : suggested;
    const QString& signPath = m_document.GetPathName();
    const QString name = QFileInfo(choice.suggested).fileName();
    if (!signPath.isEmpty() && !name.isEmpty())
        choice.suggested = QFileInfo(signPath).dir().filePath(name);
    else if (QFileInfo(choice.suggested).isRelative())
        choice.suggested = SuggestedPrintFile(m_document);
    return ChooseFile(choice);
}

void CMainFrame::OnFilePrint()
{
    // A sign that takes data from data paths is printed record by record
    // from the print station.
    if (TheElementList().HasLinkedElements()) {
        if (CPrintCommands* commands = CPrintCommands::Of(this))
            commands->OpenPrintStation();
        return;
    }
    CPrintSignDlg dialog(m_document, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!ConfirmSheetReuse(this, dialog.m_skip))
        return;
    QString file;
    if (dialog.m_destination == CPrintSignDlg::DEST_FILE) {
        file = ChoosePrintFile(SuggestedPrintFile(m_document));
        if (file.isEmpty())
            return;
    }
    PrintSignTo(m_document, dialog.m_destination, dialog.m_copies, dialog.m_skip, file);
    updateActions();
}

void CMainFrame::OnPrintSetup()
{
    CPrinter& printer = ThePrinter();
    const QString device = printer.GetDeviceName();
    const CDevMode settings = printer.GetDevMode();
    if (!printer.PrinterSetup())
        return;
    // OK on the printer and settings the sign already has changes nothing.
    if (printer.GetDeviceName() == device && printer.GetDevMode() == settings)
        return;
    // The elements fit themselves to the new printer: barcodes lay their
    // bars on its dots.
    TheElementList().OnPrinterChanged(&printer);
    // The settings go with the sign; a new orientation turns the sign.
    m_document.SetModifiedFlag();
    UpdateTitle();
    if (m_canvas)
        m_canvas->update();
    // The sign settings pane shows the printer: built again once the command
    // has returned, since its own Change button may have started it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_paneFormId == 361)
                RefreshElementView();
        },
        Qt::QueuedConnection);
    updateActions();
}

void CMainFrame::OnSignProperties()
{
    CSignPropertiesDlg dialog(m_document, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_document.SetModifiedFlag();
    UpdateTitle();
}

void CMainFrame::OnHeaderFooter()
{
    if (!EditHeaderFooter(this))
        return;
    m_document.SetModifiedFlag();
    UpdateTitle();
}
