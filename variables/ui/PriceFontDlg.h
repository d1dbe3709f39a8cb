// The "Price Font - Advanced" dialog: a typeface and style for each of the
// five parts of a price, tried on a sample copy of the price element. The
// caller copies the sample's part fonts back on OK.
#pragma once

#include <QDialog>

#include <functional>

#include <memory>

class CListCtrlEx;
class CPriceField;
class CPriceSample;
class CPriceSampleWnd;
class QComboBox;
class QLabel;
class QPushButton;

class CPriceFontDlg : public QDialog
{
    Q_OBJECT

public:
    // fillFaces fills the Typeface list with the printer's faces, each with
    // the picture of its kind; the element is copied into the sample.
    CPriceFontDlg(const CPriceField& element, const std::function<void(CListCtrlEx*)>& fillFaces,
                  QWidget* parent = nullptr);
    ~CPriceFontDlg() override;

    CPriceSample& Sample() const { return *m_sample; }
    int CurrentPart() const { return m_part; }

    // Moves to a part (0..4), stepping over the empty symbol and separator
    // parts.
    void SelectPart(int index);
    // The chosen typeface and style go into the current part's font.
    void Apply();
    void accept() override;

private:
    void ShowPart();

    std::unique_ptr<CPriceSample> m_sample;
    CPriceSampleWnd* m_sampleWnd = nullptr;
    CListCtrlEx* m_faces = nullptr;
    QComboBox* m_style = nullptr;
    QLabel* m_partName = nullptr;
    QPushButton* m_first = nullptr;
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_last = nullptr;
    QPushButton* m_apply = nullptr;
    int m_part = -1;
    bool m_loading = false;
};
