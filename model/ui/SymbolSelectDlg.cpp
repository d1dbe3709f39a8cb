#include "SymbolSelectDlg.h"

#include "DC.h"
#include "ListCtrlEx.h"
#include "Symbol.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// The height the character list draws in, device pixels.
constexpr int kListFontHeight = 47;

} // namespace

CSymbolSelectDlg::CSymbolSelectDlg(const FaceListFiller& fillFaces, QWidget* parent)
    : QDialog(parent), m_font(CLogFont::BoundRecord(CSymbolDefaults::Current().font))
{
    setWindowTitle(tr("Select Symbol"));
    setObjectName(QStringLiteral("SymbolSelectDlg"));
    m_currentFace = m_font.GetFaceName();

    auto* layout = new QVBoxLayout(this);
    m_faces = new CListCtrlEx(this);
    m_faces->setObjectName(QStringLiteral("symbolFonts"));
    if (fillFaces)
        fillFaces(m_faces);
    // The default symbol face is offered even where the printer lacks it.
    if (!m_currentFace.isEmpty() && m_faces->FindItemText(m_currentFace) < 0) {
        const DWORD data = CLogFont::EnumerateFace(m_currentFace);
        m_faces->InsertIconItem((data & 0x04) ? 0 : 1, m_currentFace, qint64(data));
    }
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

    m_faces->SelectItemText(m_currentFace);
    FillCharacters();
    connect(m_faces, &CListCtrlEx::itemSelectionChanged, this,
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
    const int row = m_faces->SelectedItem();
    if (row < 0) {
        // A click that leaves nothing selected keeps the current face.
        const QSignalBlocker block(m_faces);
        m_faces->SelectItemText(m_currentFace);
        return;
    }
    m_currentFace = m_faces->CellText(row, 0);
    m_font.SetFaceFromList(m_currentFace, DWORD(m_faces->ItemData(row)));
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
