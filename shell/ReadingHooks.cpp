#include "ReadingHooks.h"

#include "AppContext.h"
#include "DatabaseLink.h"
#include "Image.h"
#include "MessageBox.h"
#include "Paper.h"
#include "PictureBitmap.h"
#include "ResourceIds.h"
#include "SignData.h"
#include "SystemCallbacks.h"
#include "ui/MissingFileDlg.h"
#include "ui/ProgressDlg.h"

#include <QApplication>
#include <QPointer>

namespace {

QPointer<QWidget>& Owner()
{
    static QPointer<QWidget> owner;
    return owner;
}

// The window a dialog of the reading stands over: the progress window
// while it is up, else the owner.
QWidget* DialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return Owner().data();
}

// A chosen picture must be one this program can read.
QString PictureCheck(const QString& path)
{
    CPictureBitmap bitmap;
    if (bitmap.Load(path) != PICTURE_OK)
        return QObject::tr("it is not a picture this program can read");
    return QString();
}

} // namespace

void InstallReadingHooks(QWidget* owner)
{
    Owner() = owner;

    SignHooks().openProgress = [](int captionId, int high) -> std::unique_ptr<CProgressSeam> {
        auto window = std::make_unique<CProgressDlg>(captionId);
        window->SetRange(0, high);
        window->SetStep(1);
        // Loading can be stopped; saving always finishes (or fails whole).
        window->SetCancellable(captionId == IDS_LOADING_TEMPLATE);
        if (!window->Create(Owner().data()))
            return nullptr;
        return window;
    };

    // A picture step steps the progress window it shows.
    PictureHooks().stepProgress = [](int percent) { LoadProgressCallback(percent, nullptr); };

    // A picture element: the chosen picture, or the path kept as it is when
    // the user abandons the file, so that saving the sign loses nothing.
    PictureHooks().locateMissingFile = [](const QString& missing, bool& abort) {
        abort = false;
        return AskForMissingFile(missing, PictureCheck, DialogParent());
    };
    // A paper stock's picture: likewise.
    CPaper::s_locateMissingFile = [](const QString& missing) {
        return AskForMissingFile(missing, PictureCheck, DialogParent());
    };
    // A database: abandoning it abandons the sign, which stays as it is on
    // disk, links and all.
    CDatabaseLink::s_locateMissingFile = [](const QString& missing, bool& abort) {
        const QString chosen = AskForMissingFile(missing, {}, DialogParent());
        abort = chosen.isEmpty();
        return chosen;
    };
}

void RemoveReadingHooks(QWidget* owner)
{
    if (Owner() && Owner() != owner)
        return;
    Owner() = nullptr;
    SignHooks().openProgress = nullptr;
    PictureHooks().stepProgress = nullptr;
    PictureHooks().locateMissingFile = nullptr;
    CPaper::s_locateMissingFile = nullptr;
    CDatabaseLink::s_locateMissingFile = nullptr;
}

struct CQuietSignReading::Saved
{
    decltype(CSignHooks::openProgress) openProgress;
    CSignPartHooks database;
    decltype(CPictureHooks::locateMissingFile) picture;
    decltype(CPaper::s_locateMissingFile) paper;
    decltype(CDatabaseLink::s_locateMissingFile) link;
    MessageBoxPresenter presenter;
};

CQuietSignReading::CQuietSignReading() : m_saved(new Saved)
{
    CSignHooks& hooks = SignHooks();
    m_saved->openProgress = std::exchange(hooks.openProgress, nullptr);
    // Without the link's own reader the block is read and passed over.
    m_saved->database.serialize = std::exchange(hooks.parts[SIGN_PART_DATABASE].serialize, nullptr);
    m_saved->picture =
        std::exchange(PictureHooks().locateMissingFile, [](const QString&, bool& abort) {
            abort = false;
            return QString();
        });
    m_saved->paper = std::exchange(CPaper::s_locateMissingFile, nullptr);
    m_saved->link = std::exchange(CDatabaseLink::s_locateMissingFile, nullptr);
    m_saved->presenter = SetMessageBoxPresenter(
        [](const QString&, unsigned style, int) { return DefaultMessageBoxAnswer(style); });
}

CQuietSignReading::~CQuietSignReading()
{
    SetMessageBoxPresenter(std::move(m_saved->presenter));
    CDatabaseLink::s_locateMissingFile = std::move(m_saved->link);
    CPaper::s_locateMissingFile = std::move(m_saved->paper);
    PictureHooks().locateMissingFile = std::move(m_saved->picture);
    SignHooks().parts[SIGN_PART_DATABASE].serialize = std::move(m_saved->database.serialize);
    SignHooks().openProgress = std::move(m_saved->openProgress);
    delete m_saved;
}
