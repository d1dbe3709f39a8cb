#include "PreferenceCommands.h"

#include "MainFrame.h"
#include "ui/AboutDlg.h"
#include "ui/PreferencesSheet.h"

namespace {

constexpr int kPreferenceCommands[] = {
    ID_PREF_GENERAL,  ID_PREF_LINES,    ID_PREF_BOXES,   ID_PREF_ELLIPSES,
    ID_PREF_TEXT,     ID_PREF_BARCODES, ID_PREF_PRICES,  ID_PREF_PICTURES,
    ID_PREF_BULLETS,  ID_PREF_SPELLING, ID_PREF_SYMBOLS,
};

bool IsPreferenceCommand(int id)
{
    for (int command : kPreferenceCommands)
        if (command == id)
            return true;
    return false;
}

} // namespace

CPreferenceCommands::CPreferenceCommands(CMainFrame* frame) : QObject(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("preferenceCommands"));
    frame->AddCommandTarget(this);
}

bool CPreferenceCommands::HandlesCommand(int id) const
{
    return IsPreferenceCommand(id) || id == ID_APP_ABOUT;
}

bool CPreferenceCommands::OnCommand(int id)
{
    if (!HandlesCommand(id))
        return false;
    if (id == ID_APP_ABOUT) {
        CAboutDlg about(m_frame);
        about.exec();
        return true;
    }
    PreferencesSheet(m_frame, id);
    return true;
}
