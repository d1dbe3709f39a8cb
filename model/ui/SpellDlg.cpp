#include "SpellDlg.h"

#include "SpellOCX.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kDialogId = 204;

QPushButton* MakeButton(QWidget* parent, const QString& text, int id)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QStringLiteral("id%1").arg(id));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CSpellDlg::CSpellDlg(CSpellOCX& checker, QWidget* parent) : QDialog(parent), m_checker(checker)
{
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(tr("Spelling: Unknown Word"));

    m_notFound = new QLineEdit(this);
    m_notFound->setObjectName(QStringLiteral("id1108"));
    m_notFound->setReadOnly(true);
    m_changeTo = new QLineEdit(this);
    m_changeTo->setObjectName(QStringLiteral("id1237"));
    m_suggestions = new QListWidget(this);
    m_suggestions->setObjectName(QStringLiteral("id1238"));

    auto* notFoundLabel = new QLabel(tr("Not Found:"), this);
    notFoundLabel->setBuddy(m_notFound);
    auto* changeToLabel = new QLabel(tr("Change &To:"), this);
    changeToLabel->setBuddy(m_changeTo);
    auto* suggestionsLabel = new QLabel(tr("&Suggestions:"), this);
    suggestionsLabel->setBuddy(m_suggestions);

    QPushButton* ignore = MakeButton(this, tr("&Ignore"), 1239);
    QPushButton* ignoreAll = MakeButton(this, tr("I&gnore All"), 1240);
    QPushButton* change = MakeButton(this, tr("&Change"), 1241);
    QPushButton* changeAll = MakeButton(this, tr("C&hange All"), 1242);
    QPushButton* add = MakeButton(this, tr("&Add To Dictionary"), 1243);
    QPushButton* help = MakeButton(this, tr("&Help"), 9);
    help->setEnabled(false); // no help file on this platform
    QPushButton* cancel = MakeButton(this, tr("Cancel"), 2);

    auto* grid = new QGridLayout;
    grid->addWidget(notFoundLabel, 0, 0);
    grid->addWidget(m_notFound, 0, 1);
    grid->addWidget(changeToLabel, 1, 0);
    grid->addWidget(m_changeTo, 1, 1);
    grid->addWidget(suggestionsLabel, 2, 0, Qt::AlignTop);
    grid->addWidget(m_suggestions, 2, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {ignore, ignoreAll, change, changeAll, add, help, cancel})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);

    CSpeller& speller = m_checker.Speller();
    connect(m_suggestions, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        if (!text.isEmpty())
            m_changeTo->setText(text);
    });
    connect(m_suggestions, &QListWidget::itemDoubleClicked, change, &QPushButton::click);
    connect(ignore, &QPushButton::clicked, this, [this, &speller] { Continue(speller.Ignore()); });
    connect(ignoreAll, &QPushButton::clicked, this,
            [this, &speller] { Continue(speller.IgnoreAll()); });
    connect(change, &QPushButton::clicked, this,
            [this, &speller] { Continue(speller.Change(m_changeTo->text())); });
    connect(changeAll, &QPushButton::clicked, this,
            [this, &speller] { Continue(speller.ChangeAll(m_changeTo->text())); });
    connect(add, &QPushButton::clicked, this,
            [this] { Continue(m_checker.AddWordToUserDictionary()); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    Refresh();
}

void CSpellDlg::Refresh()
{
    const CSpeller& speller = m_checker.Speller();
    m_notFound->setText(speller.UnknownWord());
    m_suggestions->clear();
    m_changeTo->clear();
    const QStringList suggestions = speller.Suggestions();
    m_suggestions->addItems(suggestions);
    if (!suggestions.isEmpty()) {
        m_suggestions->setCurrentRow(0);
        m_changeTo->setText(suggestions.front());
    }
}

void CSpellDlg::Continue(int result)
{
    if (result == CSpeller::kFinished) {
        accept();
        return;
    }
    if (result > 0) {
        CSpellOCX::ReportError(result);
        reject();
        return;
    }
    Refresh();
}

void RegisterSpellDialog()
{
    CSpellOCX::SetUnknownWordDialog([](CSpellOCX& checker) {
        CSpellDlg dialog(checker, QApplication::activeWindow());
        return dialog.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
    });
}
