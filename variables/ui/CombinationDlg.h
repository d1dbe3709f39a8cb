// "Combination": the user lists the pieces of a combination variable, the
// sign's data-linked elements, free texts and character codes, in order.
#pragma once

#include <QDialog>
#include <QStringList>

class CCombination;
class QLineEdit;
class QListWidget;
class QPushButton;

class CCombinationDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kDialogId = 392;

    // Works on the caller's combination; the element names are those of the
    // sign's data-linked elements.
    CCombinationDlg(CCombination& combination, const QStringList& linkedElements,
                    QWidget* parent = nullptr);

    QListWidget* ElementList() const { return m_elements; }
    QListWidget* ItemList() const { return m_items; }
    QLineEdit* FreeTextEdit() const { return m_freeText; }
    QLineEdit* CodeEdit() const { return m_code; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* OkButton() const { return m_ok; }

private:
    void OnAdd();
    void OnRemove();
    void UpdateButtons();

    CCombination& m_combination;
    QListWidget* m_elements = nullptr;
    QListWidget* m_items = nullptr;
    QLineEdit* m_freeText = nullptr;
    QLineEdit* m_code = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_ok = nullptr;
};
