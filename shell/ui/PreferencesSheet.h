// "Preferences": one sheet of eleven pages over the values new elements
// start with and the program's general and spelling options. The pages
// show lengths in the display unit, work on copies and store them only on
// OK; Cancel changes nothing. The profile itself is written at exit.
#pragma once

#include <QDialog>

#include <vector>

class QTabWidget;

// The page a Preferences command opens: 0 General ... 10 Symbols; a
// command not in the table opens the first page.
int PreferencePageIndex(int commandId);

// One page: it shows the values when made and stores them on OK.
class CPreferencePage : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
    // Checks what the page can only check as a whole; false keeps the
    // sheet open (the page says why).
    virtual bool Validate() { return true; }
    // Puts the page's values into the process-wide preferences.
    virtual void Store() = 0;
};

class CPreferencesSheet : public QDialog
{
    Q_OBJECT

public:
    // Builds all eleven pages and shows the one of the index.
    CPreferencesSheet(QWidget* parent, int pageIndex);
    // The print front end's sheet: the spelling page alone.
    struct SpellingOnly
    {
    };
    CPreferencesSheet(QWidget* parent, SpellingOnly);

    QTabWidget* Tabs() const { return m_tabs; }
    CPreferencePage* Page(int index) const;
    int PageCount() const { return int(m_pages.size()); }

    // Every page checked, then every page stored; the spelling checker
    // takes its new settings at once.
    void accept() override;

private:
    void Build(const std::vector<int>& pageIndices, int current);
    CPreferencePage* MakePage(int index);

    QTabWidget* m_tabs = nullptr;
    std::vector<CPreferencePage*> m_pages;
};

// Runs the sheet at the command's page: true when closed with OK (the
// values are then stored), false on Cancel.
bool PreferencesSheet(QWidget* parent, int commandId);
// Runs the sheet of the spelling page alone; true on OK.
bool SpellingPreferencesSheet(QWidget* parent);
