// The data store dialogs: the Data Store dialog, which switches the sign's
// store of typed data on or off and chooses its key and copy quantity, and
// the Add To Data Store question asked when a data set is saved.
#pragma once

#include "DatabaseLink.h"

#include <QDialog>

#include <functional>

class CElementList;
class CVariableList;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The New button's answer to the Add To Data Store question (Yes and No
// answer IDYES and IDNO).
constexpr int kAddToStoreNew = 8;

// "Replace existing data store record for this product ?": IDYES, IDNO or
// kAddToStoreNew (New only when allowNew).
int AskAddToDataStore(QWidget* parent, bool allowNew);

class CAddToDataStoreDlg : public QDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 203,
        IDC_NEW = 8
    };
    CAddToDataStoreDlg(bool allowNew, QWidget* parent = nullptr);
};

class CDataStoreDlg : public QDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 297,
        IDC_SAVE_NOW = 1362,
        IDC_ENABLE = 1232,
        IDC_FILE = 1233,
        IDC_FILE_EDIT = 1551,
        IDC_UNIQUE = 1236,
        IDC_KEY = 1235,
        IDC_COPY_QUANTITY = 1524
    };

    // signPath: the sign's file, empty while it was never saved. saveSign
    // runs File Save As and returns the sign's path afterwards (empty when
    // it still has none).
    CDataStoreDlg(CDatabaseLink& link, const CElementList& elements, const CVariableList& variables,
                  QString signPath, std::function<QString()> saveSign, QWidget* parent = nullptr);

    // The candidates for the key, in order, each once.
    static QStringList KeyCandidates(const CElementList& elements, const CVariableList& variables);
    // Whether the text is a plain file name for a store beside the sign: no
    // folder, no "." or "..", no characters a file name cannot hold.
    static bool IsBareFileName(const QString& name);

    void accept() override;

private:
    void OnSaveNow();
    void OnEnable();
    void OnUnique();
    // Carries out OK; false (after telling the user) when the dialog stays.
    bool Apply();

    CDatabaseLink& m_link;
    const CElementList& m_elements;
    const CVariableList& m_variables;
    QString m_signPath;
    std::function<QString()> m_saveSign;

    QPushButton* m_saveNow = nullptr;
    QCheckBox* m_enable = nullptr;
    QLineEdit* m_file = nullptr;
    QPushButton* m_fileEdit = nullptr;
    QCheckBox* m_unique = nullptr;
    QComboBox* m_key = nullptr;
    QCheckBox* m_copyQuantity = nullptr;
};

// The Data Store dialog over the sign's link; TRUE when it ended with OK.
BOOL RunDataStoreDialog(QWidget* parent, CDatabaseLink& link, const CElementList& elements,
                        const CVariableList& variables, const QString& signPath,
                        std::function<QString()> saveSign);
