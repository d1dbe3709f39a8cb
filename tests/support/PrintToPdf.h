// Printing the designer's sign to a PDF file as the user does, through
// File > Print and its dialog, and finding the sign on the printed page.
#pragma once

#include "Commands.h"
#include "DialogAnswer.h"
#include "MainFrame.h"
#include "Paper.h"
#include "PdfSupport.h"
#include "PrintSignDlg.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QSpinBox>
#include <QString>

#include <gtest/gtest.h>

// File > Print through its dialog to a PDF file, one copy, as the user
// chooses it: File as the destination, the file's name given when asked
// (for this print only). The file holds one page, read back at dpi.
inline void PrintSignToPdf(CMainFrame* frame, const QString& pdf, int dpi, QImage& page)
{
    const FileChooser chooser = FrameHooks().chooseFile;
    FrameHooks().chooseFile = [pdf](QWidget*, const CFileChoice&) { return pdf; };
    CAnswer<CPrintSignDlg> print([](CPrintSignDlg* dlg) {
        auto* where = dlg->findChild<QComboBox*>(
            QStringLiteral("id%1").arg(int(CPrintSignDlg::IDC_DESTINATION)));
        where->setCurrentIndex(where->findText(QStringLiteral("File")));
        dlg->findChild<QSpinBox*>(QStringLiteral("id%1").arg(int(CPrintSignDlg::IDC_COPIES)))
            ->setValue(1);
        dlg->accept();
    });
    frame->UpdateActionsNow();
    QAction* action = frame->Action(ID_FILE_PRINT);
    const bool enabled = action->isEnabled();
    if (enabled)
        action->trigger();
    FrameHooks().chooseFile = chooser;
    ASSERT_TRUE(enabled);
    ASSERT_TRUE(print.Answered());
    ASSERT_EQ(PdfPageCount(pdf), 1);
    page = RenderPdfPage(pdf, 1, dpi);
    ASSERT_FALSE(page.isNull());
}

// Where the sign's origin stands on a printed page: the first label of the
// current stock.
inline CPoint FirstLabelOrigin()
{
    const CPaperStock* stock = ThePaper().Current();
    return stock ? stock->LabelOrigin(0, false) : CPoint(0, 0);
}
