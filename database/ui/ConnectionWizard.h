// The Database Connection Wizard: links the sign to a database or data file.
// Its pages work on a copy of the link; the sign's link takes the copy only
// when the wizard ends with Finish, so a cancelled wizard leaves the link
// exactly as it was.
#pragma once

#include "DatabaseLink.h"

#include <QWizard>

#include <functional>

class QCheckBox;
class QLineEdit;
class QListWidget;

// Asks for a data file of the current type: the chosen path or empty.
using DatabaseFileChooser =
    std::function<QString(QWidget* parent, const QString& filter, const QString& current)>;

class CConnectionWizard : public QWizard
{
    Q_OBJECT
public:
    enum PageId
    {
        kTypePage = 152,
        kFilePage = 153,
        kViewPage = 154,
        kTextPage = 155,
        kSortPage = 156
    };

    // The file page opens in the folder of the link's file, else in
    // startFolder (the folder of the last database), else the current one.
    CConnectionWizard(CDatabaseLink& link, QWidget* parent = nullptr,
                      DatabaseFileChooser chooseFile = {}, QString startFolder = {});

    // The copy the pages work on.
    CDatabaseLink& Work() { return m_work; }
    const DatabaseFileChooser& FileChooser() const { return m_chooseFile; }
    const QString& StartFolder() const { return m_startFolder; }

    void done(int result) override;

private:
    CDatabaseLink& m_link;
    CDatabaseLink m_work;
    DatabaseFileChooser m_chooseFile;
    QString m_startFolder;
};

// Runs the wizard modally over the link. TRUE when it ended with Finish: the
// link then holds the choice as an external database (link kind 0). FALSE
// otherwise, the link unchanged.
BOOL RunConnectionWizard(QWidget* parent, CDatabaseLink& link, DatabaseFileChooser chooseFile = {},
                         const QString& startFolder = {});
