// The print station of the designer as a test drives it: opened by
// File > Print on a sign that takes data, printing to a file, and left by
// its Return button.
#pragma once

#include "Commands.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "PrintBatchDlg.h"
#include "PrintCommands.h"
#include "Printer.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

// A control of the print bar by its id.
template <class W> W* BatchControl(CPrintBatchDlg* batch, int id)
{
    return batch->findChild<W*>(QStringLiteral("id%1").arg(id));
}

// The print bar's destination set to a file from the keyboard, as the user
// chooses it; the file chooser answers with the file.
inline void ChooseFileDestination(CPrintBatchDlg* batch)
{
    auto* destination = BatchControl<QComboBox>(batch, CPrintBatchDlg::IDC_DESTINATION);
    destination->setFocus();
    QTest::keyClick(destination, Qt::Key_Down);
    ASSERT_EQ(batch->Destination(), 1);
}

// Print All of the record navigator, its question answered Yes (the
// messages before it forgotten).
inline void PrintAllAnsweringYes(CMainFrame* frame, CMessageResponder& messages)
{
    messages.Clear();
    messages.SetDefaultAnswer(IDYES);
    frame->UpdateActionsNow();
    frame->Action(ID_RECORD_PRINT_ALL)->trigger();
}

// Return twice: the first ejects the sheet (the job ends, the file is
// written), the second leaves the station.
inline void EjectAndReturn(CPrintBatchDlg* batch)
{
    auto* back = BatchControl<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN);
    back->click();
    back->click();
}

// File > Print opens the print station of a sign that takes data; its
// destination is then a file (the one the file chooser answers with), chosen
// from the keyboard as the user does.
inline void OpenStationToFile(CMainFrame* frame, CPrintCommands*& commands, CPrintBatchDlg*& batch)
{
    frame->UpdateActionsNow();
    frame->Action(ID_FILE_PRINT)->trigger();
    commands = CPrintCommands::Of(frame);
    ASSERT_TRUE(commands && commands->IsStationOpen());
    batch = commands->BatchDialog();
    ASSERT_NE(batch, nullptr);
    ChooseFileDestination(batch);
}

// Return ejects a partly used sheet (the job ends, the file is written)
// and leaves the station.
inline void EjectAndLeaveStation(CPrintCommands* commands, CPrintBatchDlg* batch)
{
    auto* back = BatchControl<QPushButton>(batch, CPrintBatchDlg::IDC_RETURN);
    if (ThePrinter().m_jobOpen)
        back->click();
    back->click();
    ASSERT_FALSE(commands->IsStationOpen());
}
