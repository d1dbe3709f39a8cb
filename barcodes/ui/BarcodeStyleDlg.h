// "Custom Barcode Style": creates or edits one of the user's barcode styles.
// What is typed is checked before the dialog closes: a new style needs a
// name its family does not have yet, and the geometry must be one a symbol
// can be drawn with.
#pragma once

#include "BarcodeStyle.h"

#include <QDialog>

class QLineEdit;

class CBarcodeStyleDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kDialogId = 280;

    // The style is the caller's; a style that comes with an empty name gets
    // its name typed here, any other keeps its name.
    CBarcodeStyleDlg(CBarcodeStyle& style, QWidget* parent = nullptr);

    // Reads the edits into a style, without closing: the reason the values
    // cannot be kept, or an empty text.
    QString ReadTyped(CBarcodeStyle& out) const;

    void accept() override;

private:
    CBarcodeStyle& m_style;
    bool m_nameEditable = false;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_description = nullptr;
    QLineEdit* m_xDimension = nullptr;
    QLineEdit* m_ratio = nullptr;
    QLineEdit* m_printGain = nullptr;
};
