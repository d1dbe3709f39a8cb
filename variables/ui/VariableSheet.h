// The frame of the variables' wizards and property sheets: a wizard steps
// through its pages with Back, Next and Finish; a property sheet shows them
// as tabs with OK and Cancel. Each page checks and takes over its controls
// when it is left.
#pragma once

#include <QDialog>
#include <QWidget>

#include <vector>

class QPushButton;
class QStackedWidget;
class QTabWidget;

class CVariablePage : public QWidget
{
    Q_OBJECT

public:
    explicit CVariablePage(const QString& title, QWidget* parent = nullptr);

    const QString& Title() const { return m_title; }

    // The page becomes the current one.
    virtual void Enter() {}
    // Checks the controls and takes them over; false keeps the page (the
    // page has told the user why).
    virtual bool Leave() { return true; }
    // In a wizard: the page that Next goes to (its index), or -1 when the
    // page ends the wizard with Finish.
    virtual int NextPage(int ownIndex) const { return ownIndex + 1; }

signals:
    // The page's Next or Finish has changed.
    void buttonsChanged();

private:
    QString m_title;
};

class CVariableSheet : public QDialog
{
    Q_OBJECT

public:
    // As a wizard (no caption) when wizard, else as the property sheet with
    // the caption.
    CVariableSheet(bool wizard, const QString& caption, QWidget* parent = nullptr);

    // Takes the page; pages are shown in the order they are added.
    void AddPage(CVariablePage* page);
    int PageCount() const { return int(m_pages.size()); }
    CVariablePage* Page(int index) const { return m_pages[std::size_t(index)]; }
    CVariablePage* CurrentPage() const;
    bool IsWizard() const { return m_wizard; }

    QPushButton* BackButton() const { return m_back; }
    QPushButton* NextButton() const { return m_next; }
    QPushButton* FinishButton() const { return m_finish; } // OK in a property sheet
    QPushButton* CancelButton() const { return m_cancel; }

    int exec() override;
    void accept() override;

    // Runs the sheet, made on the heap with its pages, and deletes it; true
    // when the user finished it. A sheet whose parent goes while it is open
    // goes with it and counts as cancelled.
    static bool Run(CVariableSheet* sheet);

private:
    void ShowPage(int index);
    void OnBack();
    void OnNext();
    void UpdateButtons();

    bool m_wizard;
    std::vector<CVariablePage*> m_pages;
    std::vector<int> m_history; // the wizard's way back
    int m_current = -1;
    QStackedWidget* m_stack = nullptr;
    QTabWidget* m_tabs = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_finish = nullptr;
    QPushButton* m_cancel = nullptr;
};
