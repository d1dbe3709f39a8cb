// The "Select Symbol" dialog: a list of the installed font faces and a list
// of the characters 33 to 124 drawn in the chosen face, with the chosen
// character and its code shown below. OK gives the character and the font.
#pragma once

#include "LogFont.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QListWidget;

class CSymbolSelectDlg : public QDialog
{
    Q_OBJECT

public:
    // Starts from the default symbol font.
    explicit CSymbolSelectDlg(QWidget* parent = nullptr);
    ~CSymbolSelectDlg() override;

    // The chosen character after OK; the text given with SetResultText (empty
    // unless set) after Cancel.
    QString ResultText() const { return m_result; }
    void SetResultText(const QString& text) { m_result = text; }
    // The dialog's font: the default symbol font with the chosen face.
    const CLogFont& Font() const { return m_font; }

    // The characters the list offers: codes 33 to 124, one per entry.
    static QStringList CharacterItems();

    void accept() override;

private:
    void FillCharacters();
    void OnFaceSelectionChanged();
    void OnCharacterChosen(int index);

    CLogFont m_font;
    QString m_currentFace;
    QString m_result;
    QListWidget* m_faces = nullptr;
    QComboBox* m_characters = nullptr;
    QLabel* m_ascii = nullptr;
    QLabel* m_decimal = nullptr;
};
