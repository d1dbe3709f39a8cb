#include "RotationBlock.h"

#include "PositionSizeBlock.h"

#include "MessageBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

CRotationBlock::CRotationBlock(CPositionSizeBlock* host, const QString& label, int maxDegrees,
                               Reader read, Writer write)
    : QObject(host), m_host(host), m_max(maxDegrees), m_read(std::move(read)),
      m_write(std::move(write))
{
    QGridLayout* grid = host->Grid();
    const int row = host->NextRow();
    m_angle = PaneBuild::Named(new QLineEdit(host), 1029);
    PaneBuild::AddRow(grid, row, label, m_angle);
    grid->addWidget(new QLabel(tr("degrees"), host), row, 2);
    connect(m_angle, &QLineEdit::textEdited, this, &CRotationBlock::OnTyped);
}

void CRotationBlock::Refresh(bool keepTyped)
{
    const CElement* e = m_host->Bound();
    if (e && !(keepTyped && m_angle->hasFocus()))
        m_angle->setText(QString::number(m_read(e)));
}

void CRotationBlock::OnTyped()
{
    if (m_host->IsBinding() || !m_host->Bound())
        return;
    const QString text = m_angle->text().trimmed();
    bool ok = false;
    int degrees = QLocale().toInt(text, &ok);
    if (!ok)
        degrees = QLocale::c().toInt(text, &ok);
    if (!ok)
        return; // "" or "-" while typing: nothing to apply yet
    if (degrees < 0 || degrees > m_max) {
        AppMessageBox(tr("Please enter a number between %1 and %2.")
                          .arg(QLocale().toString(0), QLocale().toString(m_max)));
        return;
    }
    if (m_host->EditIf(m_angle, [this, degrees](CElement* e) { return m_write(e, degrees); }))
        emit edited();
}
