#include "ProgressDlg.h"

#include "Archive.h"
#include "Strings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

// How often long work lets Qt repaint and take a click on Cancel.
constexpr qint64 kEventIntervalMs = 50;

} // namespace

CProgressDlg::CProgressDlg(int captionId) : QDialog(nullptr), m_captionId(captionId)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setWindowTitle(LoadStringId(captionId));
    // Nothing closes it but the end of the work.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // While it is shown no other window takes input.
    setWindowModality(Qt::ApplicationModal);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("id%1").arg(IDC_PROGRESS));
    m_bar->setTextVisible(false);
    m_bar->setMinimumWidth(300);
    m_percent = new QLabel(QStringLiteral(" 0 %"), this);
    m_percent->setObjectName(QStringLiteral("id%1").arg(IDC_PERCENT));
    m_percent->setMinimumWidth(m_percent->fontMetrics().horizontalAdvance(QStringLiteral("100%")) +
                               8);
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("id%1").arg(IDCANCEL));
    m_cancel->setAutoDefault(false);
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        m_cancel->setEnabled(false);
    });

    auto* row = new QHBoxLayout;
    row->addWidget(m_bar, 1);
    row->addWidget(m_percent);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);

    m_bar->setRange(m_low, m_high);
    m_bar->setValue(m_low);
}

CProgressDlg::~CProgressDlg()
{
    DestroyWindow();
}

bool CProgressDlg::Create(QWidget* parent)
{
    m_owner = parent ? parent->window() : nullptr;
    m_bar->setRange(m_low, m_high);
    m_bar->setValue(m_pos);
    adjustSize();
    if (m_owner && m_owner->isVisible()) {
        const QRect area = m_owner->frameGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    LetQtRepaint(true);
    return true;
}

void CProgressDlg::SetCancellable(bool cancellable)
{
    m_cancel->setVisible(cancellable);
    adjustSize();
}

int CProgressDlg::PercentFor(int pos, int low, int high)
{
    if (high <= low || pos <= low)
        return 0;
    const qint64 percent = (qint64(pos) - low) * 100 / (qint64(high) - low);
    return percent == 100 ? 100 : int(percent % 100);
}

QString CProgressDlg::PercentText() const
{
    return m_percent->text();
}

void CProgressDlg::SetRange(int low, int high)
{
    m_low = low;
    m_high = std::max(high, low + 1);
    m_pos = std::clamp(m_pos, m_low, m_high);
    m_bar->setRange(m_low, m_high);
    m_bar->setValue(m_pos);
    UpdatePercent();
}

void CProgressDlg::SetStep(int step)
{
    m_step = step;
}

void CProgressDlg::SetPos(int pos)
{
    m_pos = pos;
    m_bar->setValue(std::clamp(pos, m_low, m_high));
    UpdatePercent();
    LetQtRepaint(false);
}

void CProgressDlg::StepIt()
{
    if (m_cancelled)
        throw CUserException();
    qint64 next = qint64(m_pos) + m_step;
    // The text follows the step; the bar starts over past its end.
    m_pos = int(std::clamp<qint64>(next, INT_MIN, INT_MAX));
    UpdatePercent();
    if (next > m_high)
        next = m_low + (next - m_high);
    m_pos = int(std::clamp<qint64>(next, m_low, m_high));
    m_bar->setValue(m_pos);
    LetQtRepaint(false);
    if (m_cancelled)
        throw CUserException();
}

void CProgressDlg::UpdatePercent()
{
    const QString text = QStringLiteral("%1%").arg(PercentFor(m_pos, m_low, m_high));
    if (m_percent->text() != text)
        m_percent->setText(text);
}

void CProgressDlg::LetQtRepaint(bool now)
{
    if (!isVisible())
        return;
    if (!now && m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kEventIntervalMs)
        return;
    m_sinceEvents.start();
    QApplication::processEvents();
}

void CProgressDlg::DestroyWindow()
{
    if (isVisible())
        hide();
}

void CProgressDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
