#include "ui/WelcomeDlg.h"

#include "ResourceIds.h"
#include "Strings.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>

CWelcomeDlg::CWelcomeDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("welcomeDialog"));
    setWindowTitle(tr("Getting Started"));
    auto* grid = new QGridLayout(this);

    auto addChoice = [this, grid](int row, int button, int label, int text, QStyle::StandardPixmap icon) {
        auto* choice = new QToolButton(this);
        choice->setObjectName(QStringLiteral("id%1").arg(button));
        choice->setIcon(style()->standardIcon(icon));
        choice->setIconSize(QSize(32, 32));
        choice->setAutoRaise(false);
        grid->addWidget(choice, row, 0, 2, 1);
        auto* caption = new QLabel(LoadStringId(text), this);
        caption->setObjectName(QStringLiteral("id%1").arg(label));
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        grid->addWidget(caption, row, 1);
        connect(choice, &QToolButton::clicked, this, [this, button] { Choose(button); });
        // The caption answers a click as its icon does.
        caption->setCursor(Qt::PointingHandCursor);
        caption->installEventFilter(this);
        m_captions.insert(caption, choice);
        return choice;
    };
    addChoice(0, kOpenExisting, 1513, IDS_OPEN_EXISTING_DESIGN, QStyle::SP_DialogOpenButton);
    grid->addWidget(new QLabel(tr("( Including Example Designs )"), this), 1, 1);
    addChoice(2, kCreateNew, 1514, IDS_CREATE_NEW_DESIGN, QStyle::SP_FileIcon);

    m_show = new QCheckBox(tr("Show this screen at startup"), this);
    m_show->setObjectName(QStringLiteral("id1462"));
    m_show->setChecked(true);
    grid->addWidget(m_show, 4, 0, 1, 2);
}

bool CWelcomeDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        QToolButton* choice = m_captions.value(watched);
        if (choice && mouse->button() == Qt::LeftButton &&
            static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint())) {
            choice->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CWelcomeDlg::Choose(int button)
{
    m_showAtStartup = m_show->isChecked() ? 1 : 0;
    done(button);
}
