#include "PriceSampleWnd.h"

#include "DC.h"
#include "PriceSample.h"

#include <QPainter>

CPriceSampleWnd::CPriceSampleWnd(CPriceSample* sample, QWidget* parent)
    : QWidget(parent), m_sample(sample)
{
    setObjectName(QStringLiteral("id%1").arg(kControlId));
    setMinimumSize(160, 60);
}

void CPriceSampleWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, Qt::white);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    if (!m_sample || r.width() < 10 || r.height() < 10)
        return;
    // The box's pixels are the sample's units: it fills the box.
    m_sample->SetWindowRect(CRect(4, 4, r.width() - 4, r.height() - 4));
    CDC dc(&painter);
    m_sample->Paint(&dc);
}
