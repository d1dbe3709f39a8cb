// One page of the price format wizard and of the price format sheet: the
// text, size and alignment of one part of a price format (or its thousands
// separator), with the format's show rules where they belong, and the live
// sample with the part in red.
#pragma once

#include <QWizardPage>

class CPriceFormat;
class CPriceSample;
class CPriceSampleWnd;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

class CPriceElmtPage : public QWizardPage
{
    Q_OBJECT

public:
    // Part indexes as the format's, with 5 for the thousands separator.
    static constexpr int kThousandsSeparator = 5;
    static QString PartTitle(int part);

    CPriceElmtPage(CPriceFormat& format, int part, CPriceSample& sample, QWidget* parent = nullptr);

    int Part() const { return m_part; }
    // The page comes to the front: the sample shows the page's price with
    // the part highlighted.
    void Activate();
    // The size's data check: 10..100, else a message and false.
    bool CheckSize();

    void initializePage() override;
    bool validatePage() override;

private:
    bool IsSeparator() const { return m_part == 2 || m_part == kThousandsSeparator; }
    bool IsSecondaryAmount() const { return m_part == 3; }
    QString PartText() const;
    void SetPartText(const QString& text);
    void EnableSymbol(bool on);
    void OnSymbolEdited(const QString& text);
    void OnSizeEdited(const QString& text);
    void OnAlignment(int index);
    void OnAlways();
    void OnNever();
    void OnOnlyIfNonZero();
    // The sample follows the format.
    void Changed();

    CPriceFormat& m_format;
    int m_part;
    CPriceSample& m_sample;
    CPriceSampleWnd* m_sampleWnd = nullptr;
    QLabel* m_caption = nullptr;
    QRadioButton* m_none = nullptr;
    QRadioButton* m_symbolOn = nullptr;
    QLineEdit* m_symbol = nullptr;
    QLabel* m_sizeLabel = nullptr;
    QLineEdit* m_size = nullptr;
    QSpinBox* m_upDown = nullptr;
    QWidget* m_arrows = nullptr;
    QLabel* m_percent = nullptr;
    QLabel* m_alignLabel = nullptr;
    QComboBox* m_alignment = nullptr;
    QLabel* m_showLabel = nullptr;
    QCheckBox* m_always = nullptr;
    QCheckBox* m_never = nullptr;
    QCheckBox* m_onlyIfNonZero = nullptr;
    QCheckBox* m_showPrimary = nullptr;
    bool m_loading = true;
};
