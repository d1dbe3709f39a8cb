#include "SymbolSelectDlg.h"

#include "DC.h"
#include "Symbol.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

// The height the character list draws in, device pixels.
constexpr int kListFontHeight = 47;

QStringList InstalledFaces(const QString& first)
{
    QStringList faces;
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family) || family.startsWith(QLatin1Char('@')))
            continue;
        const QString face = CLogFont::FitFaceName(family);
        if (!faces.contains(face))
            faces << face;
    }
    faces.sort(Qt::CaseInsensitive);
    // The default symbol face stands for an installed one: it is offered too.
    if (!first.isEmpty() && !faces.contains(first))
        faces.prepend(first);
    return faces;
}

} // namespace

CSymbolSelectDlg::CSymbolSelectDlg(QWidget* parent)
    : QDialog(parent), m_font(CLogFont::BoundRecord(CSymbolDefaults::Current().font))
{
    setWindowTitle(tr("Select Symbol"));
    setObjectName(QStringLiteral("SymbolSelectDlg"));
    m_currentFace = m_font.GetFaceName();

    auto* layout = new QVBoxLayout(this);
    m_faces = new QListWidget(this);
    m_faces->setObjectName(QStringLiteral("symbolFonts"));
    m_faces->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const QString& face : InstalledFaces(m_currentFace))
        m_faces->addItem(face);
    layout->addWidget(m_faces, 1);

    m_characters = new QComboBox(this);
    m_characters->setObjectName(QStringLiteral("symbolCharacters"));
    layout->addWidget(m_characters);

    auto* code = new QGroupBox(tr("Character Code"), this);
    auto* grid = new QGridLayout(code);
    grid->addWidget(new QLabel(tr("ASCII :"), code), 0, 0);
    m_ascii = new QLabel(code);
    m_ascii->setObjectName(QStringLiteral("asciiReadout"));
    grid->addWidget(m_ascii, 0, 1);
    grid->addWidget(new QLabel(tr("Decimal :"), code), 1, 0);
    m_decimal = new QLabel(code);
    m_decimal->setObjectName(QStringLiteral("decimalReadout"));
    grid->addWidget(m_decimal, 1, 1);
    layout->addWidget(code);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    const QList<QListWidgetItem*> current = m_faces->findItems(m_currentFace, Qt::MatchExactly);
    if (!current.isEmpty())
        m_faces->setCurrentItem(current.first());
    FillCharacters();
    connect(m_faces, &QListWidget::itemSelectionChanged, this,
            &CSymbolSelectDlg::OnFaceSelectionChanged);
    connect(m_characters, &QComboBox::currentIndexChanged, this,
            &CSymbolSelectDlg::OnCharacterChosen);
    OnCharacterChosen(m_characters->currentIndex());
}

CSymbolSelectDlg::~CSymbolSelectDlg() = default;

QStringList CSymbolSelectDlg::CharacterItems()
{
    QStringList items;
    for (int code = CSymbol::kFirstCode; code <= CSymbol::kLastCode; ++code)
        items << QString(QChar(code));
    return items;
}

void CSymbolSelectDlg::FillCharacters()
{
    QFont font(CDC::SubstituteFaceName(m_font.GetFaceName()));
    font.setPixelSize(kListFontHeight);
    m_characters->setFont(font);
    const QSignalBlocker block(m_characters);
    m_characters->clear();
    m_characters->addItems(CharacterItems());
    m_characters->setCurrentIndex(0);
    OnCharacterChosen(0);
}

void CSymbolSelectDlg::OnFaceSelectionChanged()
{
    const QList<QListWidgetItem*> selected = m_faces->selectedItems();
    if (selected.isEmpty()) {
        // A click that leaves nothing selected keeps the current face.
        const QList<QListWidgetItem*> current = m_faces->findItems(m_currentFace, Qt::MatchExactly);
        if (!current.isEmpty()) {
            const QSignalBlocker block(m_faces);
            current.first()->setSelected(true);
        }
        return;
    }
    m_currentFace = selected.first()->text();
    m_font.SetFaceFromList(m_currentFace, CLogFont::EnumerateFace(m_currentFace));
    FillCharacters();
}

void CSymbolSelectDlg::OnCharacterChosen(int index)
{
    if (index < 0) {
        m_ascii->clear();
        m_decimal->clear();
        return;
    }
    m_ascii->setText(m_characters->itemText(index));
    m_decimal->setText(QString::asprintf("%d", index + CSymbol::kFirstCode));
}

void CSymbolSelectDlg::accept()
{
    if (m_characters->currentIndex() >= 0)
        m_result = m_characters->currentText();
    QDialog::accept();
}
