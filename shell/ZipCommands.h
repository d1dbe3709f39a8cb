// File > Export As Zip and Import From Zip: a link of the main frame's
// command chain, and the import as a whole (Open box, Import dialog) for
// either program to call.
#pragma once

#include "Commands.h"
#include "MainFrame.h"

#include <QObject>
#include <QString>

class CZipCommands : public QObject, public CCommandTarget
{
    Q_OBJECT

public:
    // Joins the frame's command chain; the frame owns it.
    explicit CZipCommands(CMainFrame* frame);

    bool HandlesCommand(int id) const override;
    bool OnCommand(int id) override;
    void FillCommandState(CCommandState&) const override {}

private:
    void OnExport();
    void OnImport();

    CMainFrame* m_frame;
};

// Asks for a package ("Import From"), runs the Import dialog on it and
// returns the sign template to open: the package's first sign, only when
// everything was unpacked; empty when cancelled or when something failed
// (the user has been told).
QString ImportZipWithDialogs(QWidget* parent, const QString& startFolder = QString());

// A file box through FrameHooks().chooseFile when set, else Qt's.
QString ChooseFileFor(QWidget* parent, const CFileChoice& choice);
// The same box letting several existing files be chosen at once; empty when
// cancelled.
QStringList ChooseFilesFor(QWidget* parent, CFileChoice choice);
// The first lines of a list, then how many more, for a message box.
QString ListForMessage(const QStringList& lines);
