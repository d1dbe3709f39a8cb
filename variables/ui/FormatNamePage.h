// The last page of the price format wizard: the new format's name, which
// must be given and must not be taken.
#pragma once

#include <QWizardPage>

class CPriceFormat;
class CPriceSample;
class CPriceSampleWnd;
class QLineEdit;

class CFormatNamePage : public QWizardPage
{
    Q_OBJECT

public:
    CFormatNamePage(CPriceFormat& format, CPriceSample& sample, QWidget* parent = nullptr);

    void Activate();
    void initializePage() override;
    // Finish: a name that is not empty and not yet a format's goes into the
    // working record; otherwise the page says so and stays.
    bool validatePage() override;

private:
    CPriceFormat& m_format;
    CPriceSample& m_sample;
    QLineEdit* m_name = nullptr;
    CPriceSampleWnd* m_sampleWnd = nullptr;
};
