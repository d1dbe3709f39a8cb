#include "PictureSelect.h"

#include "AppContext.h"
#include "DC.h"
#include "Messages.h"
#include "WaitCursor.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QPainter>

CImagePreview::CImagePreview(CImage* image, QWidget* parent) : QWidget(parent), m_image(image)
{
    setObjectName(QStringLiteral("id1119"));
    setMinimumSize(160, 160);
}

void CImagePreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!m_image || !m_image->m_bitmap.IsAllocated())
        return;
    // The preview is laid out in pixels: one logical unit a pixel.
    CDC dc(&painter);
    m_image->Draw(&dc, CRect(0, 0, width(), height()));
}

std::function<QString(QWidget* parent, bool background)> CPictureSelect::s_choose;

namespace {

// The folder the picture boxes open in; start-up reads it from the profile
// ("paths", "LastImage") and the program's exit writes it back.
struct CPictureFolder
{
    QString path;
};

} // namespace

QString& CPictureSelect::LastPictureFolder()
{
    return App().Get<CPictureFolder>().path;
}

QStringList CPictureSelect::Filters()
{
    // Descriptions padded to 44 characters, as the lists have always shown.
    static const char* const formats[][2] = {
        {"All Graphics Files", "*.bmp *.wmf *.emf *.ico *.cur *.avi *.pcx *.dcx *.tif *.tiff *.wpg "
                               "*.jpg *.jif *.jpeg *.eps *.pcd *.fpx *.psd *.png *.tga *.ras *.pct "
                               "*.msp *.gif *.webp"},
        {"Adobe PhotoShop 3.0 (*.psd)", "*.psd"},
        {"Encapsulated PostScript (*.eps)", "*.eps"},
        {"JPEG Interchange File (*.jpg;*.jif;*.jpeg)", "*.jpg *.jif *.jpeg"},
        {"Kodak FlashPix (*.fpx)", "*.fpx"},
        {"Kodak Photo CD (*.pcd)", "*.pcd"},
        {"Macintosh Pict (*.pct)", "*.pct"},
        {"Microsoft Paint (*.msp)", "*.msp"},
        {"Portable Network Graphics (*.png)", "*.png"},
        {"SUN Raster (*.ras)", "*.ras"},
        {"Tagged Image File Format (*.tif;*.tiff)", "*.tif *.tiff"},
        {"Truevision TARGA (*.tga)", "*.tga"},
        {"Windows AVI (*.avi)", "*.avi"},
        {"Windows Bitmaps (*.bmp)", "*.bmp"},
        {"Windows Cursors (*.cur)", "*.cur"},
        {"Windows Icons (*.ico)", "*.ico"},
        {"Windows Metafiles (*.wmf;*.emf)", "*.wmf *.emf"},
        {"WordPerfect Graphics (*.wpg)", "*.wpg"},
        {"ZSoft PCX Files (*.pcx;*.dcx)", "*.pcx *.dcx"},
    };
    QStringList filters;
    for (const auto& f : formats)
        filters << QString::fromLatin1(f[0]).leftJustified(44) +
                       QStringLiteral(" (%1)").arg(QLatin1String(f[1]));
    return filters;
}

CPictureSelect::CPictureSelect(QWidget* parent, std::unique_ptr<CImage> preview, int templateId,
                               const QString& title, bool resizable)
    : QFileDialog(parent), m_preview(std::move(preview))
{
    setObjectName(QStringLiteral("id%1").arg(templateId));
    setWindowTitle(title);
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilters(Filters());
    setSizeGripEnabled(resizable);
    if (!LastPictureFolder().isEmpty())
        setDirectory(LastPictureFolder());

    m_previewArea = new CImagePreview(m_preview.get(), this);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(m_previewArea, 0, grid->columnCount(), grid->rowCount(), 1);

    connect(this, &QFileDialog::currentChanged, this, &CPictureSelect::OnFileNameChange);
    connect(this, &QFileDialog::directoryEntered, this, [this] { OnFolderChange(); });
}

CPictureSelect::~CPictureSelect() = default;

void CPictureSelect::OnFileNameChange(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || path.contains(QLatin1Char('*')) || !info.exists() || info.isDir())
        return;
    m_preview->m_bitmap.Free();
    CWaitCursor wait;
    if (m_preview->LoadFile(nullptr, path)) {
        // Leave a margin of ten pixels round the picture.
        const QRect area = m_previewArea->rect().adjusted(10, 10, -10, -10);
        m_preview->FitInRect(nullptr,
                             CRect(area.left(), area.top(), area.right() + 1, area.bottom() + 1));
    }
    m_previewArea->update();
}

void CPictureSelect::OnFolderChange()
{
    if (auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->clear();
    if (m_preview->m_bitmap.IsAllocated()) {
        m_preview->m_bitmap.Free();
        m_preview->m_filePath.clear();
        m_previewArea->update();
    }
}

void CPictureSelect::accept()
{
    const QStringList files = selectedFiles();
    const QString path = files.isEmpty() ? QString() : files.first();
    if (!m_preview->m_bitmap.IsAllocated() || m_preview->m_filePath != path)
        OnFileNameChange(path);
    if (!m_preview->m_bitmap.IsAllocated() || m_preview->m_filePath != path) {
        AppMessageBoxId(IDS_INVALID_SELECTION, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_chosen = path;
    QString folder = QFileInfo(path).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    LastPictureFolder() = folder;
    QFileDialog::accept();
}
