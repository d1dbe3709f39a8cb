#include "PrintAbortDlg.h"

#include "SignApp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QString IdName(int id)
{
    return QStringLiteral("id%1").arg(id);
}

} // namespace

CPrintAbortDlg::CPrintAbortDlg(const QString& document, const QString& printer,
                               const QString& thirdLine, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(IdName(IDD));
    setWindowTitle(CSignApp::GetProgramTitle());
    // Shown without blocking the caller, yet the only window taking input.
    setWindowModality(Qt::ApplicationModal);

    auto* layout = new QVBoxLayout(this);
    const auto addLine = [this, layout](int id, const QString& text) {
        auto* label = new QLabel(text, this);
        label->setObjectName(IdName(id));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignHCenter);
        layout->addWidget(label);
    };
    addLine(IDC_DOCUMENT_NAME, document);
    addLine(IDC_PRINTER_NAME, printer);
    addLine(IDC_PORT_OR_FILE, thirdLine);

    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(IdName(IDCANCEL));
    cancel->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, [this] { Cancel(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addStretch();
    layout->addLayout(buttons);
}

CPrintAbortDlg::~CPrintAbortDlg() = default;

void CPrintAbortDlg::Show()
{
    // Shown already: a run's next sign leaves it where it is.
    if (isVisible())
        return;
    if (!m_placed) {
        adjustSize();
        CentreOverOwner();
        m_placed = true;
    }
    show();
    raise();
}

void CPrintAbortDlg::Hide()
{
    hide();
}

void CPrintAbortDlg::reject()
{
    Cancel();
}

void CPrintAbortDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    Cancel();
}

void CPrintAbortDlg::CentreOverOwner()
{
    const QWidget* owner = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    QRect area;
    if (owner && owner != this)
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (!area.isValid())
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

void InstallPrintWindow()
{
    CPrinter::s_openPrintWindow =
        [](const QString& document, const QString& printer,
           const QString& thirdLine) -> std::unique_ptr<CPrintWindowSeam> {
        return std::make_unique<CPrintAbortDlg>(document, printer, thirdLine);
    };
}
