// The sample box of the price dialogs (control 1178): paints a price
// sample filling the box. The sample belongs to the dialog; several pages
// can show the same one.
#pragma once

#include <QWidget>

class CPriceSample;

class CPriceSampleWnd : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kControlId = 1178;

    explicit CPriceSampleWnd(CPriceSample* sample, QWidget* parent = nullptr);
    CPriceSample* Sample() const { return m_sample; }

    QSize sizeHint() const override { return QSize(240, 90); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CPriceSample* m_sample = nullptr;
};
