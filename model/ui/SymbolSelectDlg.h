// The "Select Symbol" dialog: the printer's face list and a list
// of the characters 33 to 124 drawn in the chosen face, with the chosen
// character and its code shown below. OK gives the character and the font.
#pragma once

#include "LogFont.h"

#include <QDialog>
#include <QString>

#include <functional>

class QComboBox;
class QLabel;
class CListCtrlEx;

class CSymbolSelectDlg : public QDialog
{
    Q_OBJECT

public:
    // Fills a face list with the printer's faces, each with its data word and
    // the picture of its kind.
    using FaceListFiller = std::function<void(CListCtrlEx*)>;

    // Starts from the default symbol font; the face list is filled by
    // fillFaces.
    explicit CSymbolSelectDlg(const FaceListFiller& fillFaces, QWidget* parent = nullptr);
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
    CListCtrlEx* m_faces = nullptr;
    QComboBox* m_characters = nullptr;
    QLabel* m_ascii = nullptr;
    QLabel* m_decimal = nullptr;
};
