#include "VariableSheet.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

CVariablePage::CVariablePage(const QString& title, QWidget* parent)
    : QWidget(parent), m_title(title)
{
}

CVariableSheet::CVariableSheet(bool wizard, const QString& caption, QWidget* parent)
    : QDialog(parent), m_wizard(wizard)
{
    setObjectName(QStringLiteral("variableSheet"));
    auto* layout = new QVBoxLayout(this);
    if (m_wizard) {
        m_stack = new QStackedWidget(this);
        layout->addWidget(m_stack, 1);
    } else {
        setWindowTitle(caption);
        m_tabs = new QTabWidget(this);
        layout->addWidget(m_tabs, 1);
        // A tab is left only when its page may be left.
        connect(m_tabs, &QTabWidget::tabBarClicked, this, [this](int index) {
            if (index == m_current || index < 0)
                return;
            if (CVariablePage* page = CurrentPage(); page && !page->Leave()) {
                const QSignalBlocker blocker(m_tabs);
                m_tabs->setCurrentIndex(m_current);
                return;
            }
            ShowPage(index);
        });
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    if (m_wizard) {
        m_back = new QPushButton(tr("< &Back"), this);
        m_back->setObjectName(QStringLiteral("backButton"));
        m_next = new QPushButton(tr("&Next >"), this);
        m_next->setObjectName(QStringLiteral("nextButton"));
        buttons->addWidget(m_back);
        buttons->addWidget(m_next);
        connect(m_back, &QPushButton::clicked, this, &CVariableSheet::OnBack);
        connect(m_next, &QPushButton::clicked, this, &CVariableSheet::OnNext);
    }
    m_finish = new QPushButton(m_wizard ? tr("Finish") : tr("OK"), this);
    m_finish->setObjectName(QStringLiteral("finishButton"));
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    buttons->addWidget(m_finish);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_finish, &QPushButton::clicked, this, &CVariableSheet::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CVariableSheet::AddPage(CVariablePage* page)
{
    m_pages.push_back(page);
    if (m_wizard)
        m_stack->addWidget(page);
    else
        m_tabs->addTab(page, page->Title());
    connect(page, &CVariablePage::buttonsChanged, this, &CVariableSheet::UpdateButtons);
}

CVariablePage* CVariableSheet::CurrentPage() const
{
    return m_current >= 0 && m_current < PageCount() ? m_pages[std::size_t(m_current)] : nullptr;
}

int CVariableSheet::exec()
{
    if (m_current < 0 && !m_pages.empty())
        ShowPage(0);
    return QDialog::exec();
}

bool CVariableSheet::Run(CVariableSheet* sheet)
{
    QPointer<CVariableSheet> guard(sheet);
    const int result = sheet->exec();
    const bool finished = guard && result == QDialog::Accepted;
    delete guard.data();
    return finished;
}

void CVariableSheet::ShowPage(int index)
{
    if (index < 0 || index >= PageCount())
        return;
    m_current = index;
    CVariablePage* page = m_pages[std::size_t(index)];
    if (m_wizard) {
        m_stack->setCurrentWidget(page);
        setWindowTitle(page->Title());
    } else {
        const QSignalBlocker blocker(m_tabs);
        m_tabs->setCurrentIndex(index);
    }
    page->Enter();
    UpdateButtons();
}

void CVariableSheet::OnBack()
{
    if (m_history.empty())
        return;
    const int previous = m_history.back();
    m_history.pop_back();
    ShowPage(previous);
}

void CVariableSheet::OnNext()
{
    CVariablePage* page = CurrentPage();
    if (!page)
        return;
    const int next = page->NextPage(m_current);
    if (next < 0 || next >= PageCount() || !page->Leave())
        return;
    m_history.push_back(m_current);
    ShowPage(next);
}

void CVariableSheet::UpdateButtons()
{
    if (!m_wizard)
        return;
    CVariablePage* page = CurrentPage();
    const bool last = !page || page->NextPage(m_current) < 0;
    m_back->setEnabled(!m_history.empty());
    m_next->setEnabled(!last);
    m_finish->setEnabled(last);
    m_finish->setDefault(last);
    m_next->setDefault(!last);
}

void CVariableSheet::accept()
{
    if (m_wizard) {
        CVariablePage* page = CurrentPage();
        if (!page || page->NextPage(m_current) >= 0 || !page->Leave())
            return;
        QDialog::accept();
        return;
    }
    // The current page first, then every other page takes its controls
    // over; a page that refuses is shown.
    if (CVariablePage* page = CurrentPage(); page && !page->Leave())
        return;
    for (int i = 0; i < PageCount(); ++i) {
        if (i == m_current)
            continue;
        if (!m_pages[std::size_t(i)]->Leave()) {
            ShowPage(i);
            return;
        }
    }
    QDialog::accept();
}
