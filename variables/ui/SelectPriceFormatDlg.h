// The "Select Price Format" dialog: the price formats in a list with the
// sample drawn in the one selected.
#pragma once

#include <QDialog>

#include <memory>

class CPriceFormatList;
class CPriceSample;
class CPriceSampleWnd;
class QListWidget;

class CSelectPriceFormatDlg : public QDialog
{
    Q_OBJECT

public:
    // The initial name is selected when the list has it, else the first name.
    CSelectPriceFormatDlg(const CPriceFormatList& list, const QString& initialName,
                          bool includeStandard, QWidget* parent = nullptr);
    ~CSelectPriceFormatDlg() override;

    QString ChosenName() const { return m_chosen; }

private:
    void OnSelection();

    const CPriceFormatList& m_list;
    std::unique_ptr<CPriceSample> m_sample;
    QListWidget* m_names = nullptr;
    CPriceSampleWnd* m_sampleWnd = nullptr;
    QString m_chosen;
};
