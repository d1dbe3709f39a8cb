// The "Spelling: Unknown Word" dialog: shows the word the check stopped at
// with the suggestions for it, and takes the user's answer: Ignore, Ignore
// All, Change, Change All or Add To Dictionary, after which the check goes
// on and the dialog shows the next unknown word, or closes with OK when
// the text is finished. Cancel stops the check.
#pragma once

#include <QDialog>

class CSpellOCX;
class QLineEdit;
class QListWidget;
class QPushButton;

class CSpellDlg : public QDialog
{
    Q_OBJECT

public:
    CSpellDlg(CSpellOCX& checker, QWidget* parent = nullptr);

    QLineEdit* NotFound() const { return m_notFound; }
    QLineEdit* ChangeTo() const { return m_changeTo; }
    QListWidget* Suggestions() const { return m_suggestions; }

private:
    // Shows the unknown word and its suggestions.
    void Refresh();
    // What a step reported: finished, another word, or an error.
    void Continue(int result);

    CSpellOCX& m_checker;
    QLineEdit* m_notFound = nullptr;
    QLineEdit* m_changeTo = nullptr;
    QListWidget* m_suggestions = nullptr;
};

// Makes the spelling check ask the user through this dialog, over the
// active window.
void RegisterSpellDialog();
