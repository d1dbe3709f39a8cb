// The "Paper Design" dialog: creates a paper stock or edits one. Lengths are
// typed in millimetres or inches (the display units), the label layout as
// the number of labels across and down with the gaps between them; the
// stock picture follows every change.
#pragma once

#include "Paper.h"

#include <QDialog>
#include <QImage>
#include <QString>

#include <array>
#include <functional>

class CStockPicture;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CPaperDesignDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 164
    };
    enum : int
    {
        IDC_SHEET_STOCK = 1553,
        IDC_CONTINUOUS = 1461,
        IDC_CATEGORY = 1498,
        IDC_NAME = 1050,
        IDC_SIGN_WIDTH = 1144,
        IDC_SIGN_HEIGHT = 1145,
        IDC_RECTANGULAR = 1468,
        IDC_ELLIPTICAL = 1469,
        IDC_CORNER_RADIUS = 1110,
        IDC_PAGE_WIDTH = 1148,
        IDC_PAGE_HEIGHT = 1139,
        IDC_LEFT_MARGIN = 1140,
        IDC_TOP_MARGIN = 1141,
        IDC_ACROSS = 1143,
        IDC_HORZ_GAP = 1142,
        IDC_DOWN = 1146,
        IDC_VERT_GAP = 1147,
        IDC_BACKGROUND = 1549,
        IDC_SELECT_PICTURE = 1134,
        IDC_ORIENTATION = 1012,
        IDC_PRINT_SETUP = 57606,
        IDC_SIZE_NOTE = 1555,
        IDC_PICTURE = 1152,
    };

    // The longest length the dialog takes.
    static constexpr double kMaxLengthMm = 1500.0;
    static constexpr double kMaxLengthInches = 60.0;
    static constexpr int kMaxLabels = 100;

    // newStock: the name starts as "Untitled" and the category as "Custom",
    // the other values as the given stock's; a name already in use is
    // refused. Otherwise the given stock is edited and replacing a stock of
    // the entered name is asked about.
    CPaperDesignDlg(const CPaperStock& stock, bool newStock, QWidget* parent = nullptr);
    ~CPaperDesignDlg() override;

    // The stock made on OK (not yet in the library).
    const CPaperStock& Result() const { return m_result; }

    // Checks and reads every field; stays open after telling the user what
    // is wrong.
    void accept() override;

    // Select...: returns the chosen picture file, or an empty text. Unset:
    // a file dialog for pictures.
    static std::function<QString(QWidget* parent, const QString& current)> s_choosePicture;
    // Print Setup... in this dialog and the Paper Stock dialog: runs the
    // program's Print Setup command. Unset, the button is disabled.
    static std::function<void(QWidget* parent)> s_printSetup;

    // The paper-size note for a page in millimetres, in the display units.
    static QString SizeNote(double widthMm, double heightMm);

private:
    enum Field
    {
        SignWidth,
        SignHeight,
        CornerRadius,
        PageWidth,
        PageHeight,
        LeftMargin,
        TopMargin,
        HorzGap,
        VertGap,
        FieldCount
    };
    struct Length
    {
        QLineEdit* edit = nullptr;
        QString shown; // the text as the dialog last put it there
        double exactMm = 0;
    };

    QLineEdit* AddLength(Field field, int id);
    void SetLength(Field field, double mm);
    // The field's value in millimetres; the exact value while its text is
    // the one the dialog put there. false when the text is not a number.
    bool LengthMm(Field field, double& mm) const;
    bool Count(QLineEdit* edit, int& value) const;
    void OnNumberEdited(QLineEdit* edit, Field field);
    void OnStockType();
    void OnShape();
    void OnBackground();
    void OnSelectPicture();
    void UpdatePicture();
    // Tells the user and puts the focus on the field; always false.
    bool Refuse(QWidget* field, const QString& text);

    CPaperStock m_stock;
    CPaperStock m_result;
    bool m_new = false;
    bool m_inches = false;
    std::array<Length, FieldCount> m_lengths;
    QRadioButton* m_sheet = nullptr;
    QRadioButton* m_roll = nullptr;
    QComboBox* m_category = nullptr;
    QLineEdit* m_name = nullptr;
    QRadioButton* m_rectangular = nullptr;
    QRadioButton* m_elliptical = nullptr;
    QLineEdit* m_across = nullptr;
    QLineEdit* m_down = nullptr;
    QCheckBox* m_background = nullptr;
    QPushButton* m_select = nullptr;
    QComboBox* m_orientation = nullptr;
    QLabel* m_note = nullptr;
    CStockPicture* m_picture = nullptr;
    QString m_picturePath;
    QImage m_pictureImage;
};
