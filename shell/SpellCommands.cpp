#include "SpellCommands.h"

#include "DataCtrl.h"
#include "DataView.h"
#include "ElementList.h"
#include "MainFrame.h"
#include "Messages.h"
#include "Preferences.h"
#include "SpellDlg.h"
#include "SpellOCX.h"

namespace {

CSpellSettings CurrentSettings()
{
    const CSpellPreferences& prefs = CSpellPreferences::Current();
    CSpellSettings settings;
    settings.dictionary = prefs.dictionary;
    settings.options = prefs.options;
    settings.searchLimit = prefs.searchLimit;
    settings.displayLimit = prefs.displayLimit;
    settings.performance = prefs.performance;
    return settings;
}

} // namespace

bool PrepareSpellChecker(bool tell)
{
    RegisterSpellDialog();
    CSpellOCX& speller = CSpellOCX::Current();
    const CSpellSettings settings = CurrentSettings();
    if (!speller.IsCreated())
        speller.Create(settings);
    else if (!(speller.Settings() == settings))
        speller.ApplySettings(settings); // the preferences changed meanwhile
    if (speller.IsAvailable() || speller.OpenMainDictionary())
        return true;
    if (tell)
        AppMessageBox(QObject::tr("Spelling is unavailable: no spelling dictionary was found."),
                      MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CheckDataEntrySpelling(CDataView* data)
{
    if (!data || !data->Panel() || !PrepareSpellChecker(true))
        return false;
    if (!data->Panel()->CheckSpelling(true))
        return false;
    AppMessageBoxId(IDS_SPELLING_CHECK_COMPLETE, MB_OK | MB_ICONINFORMATION);
    return true;
}

CSpellCommands::CSpellCommands(CMainFrame* frame) : QObject(frame), m_frame(frame)
{
    setObjectName(QStringLiteral("spellCommands"));
    RegisterSpellDialog();
    frame->AddCommandTarget(this);
    // Words ignored or changed for all hold for one sign.
    connect(frame, &CMainFrame::signReset, this, [] { CSpellOCX::Current().Close(); });
}

bool CSpellCommands::HandlesCommand(int id) const
{
    return id == ID_SPELLING;
}

bool CSpellCommands::OnCommand(int id)
{
    if (!HandlesCommand(id))
        return false;
    // While data is entered, the typed texts are checked instead.
    if (m_frame->IsDataEntryMode())
        CheckDataEntrySpelling(qobject_cast<CDataView*>(m_frame->DataView()));
    else
        OnSpelling();
    return true;
}

void CSpellCommands::FillCommandState(CCommandState& state) const
{
    // The spelling engine is built in; a missing dictionary is told when the
    // command runs.
    state.spellingAvailable = true;
}

void CSpellCommands::OnSpelling()
{
    if (!PrepareSpellChecker(true))
        return;

    CElementList& list = TheElementList();
    CView* view = App().currentView;
    int selected = 0;
    for (const CElement* element : list)
        selected += element->IsSelected() ? 1 : 0;

    BOOL modified = FALSE;
    BOOL completed = FALSE;
    if (selected > 0) {
        completed = list.CheckSpelling(view, 1, modified);
        if (completed && selected < list.GetCount() &&
            AppMessageBoxId(IDS_CONTINUE_SPELLING_CHECK, MB_YESNO | MB_ICONQUESTION) == IDYES)
            completed = list.CheckSpelling(view, 2, modified);
    } else {
        completed = list.CheckSpelling(view, 0, modified);
    }
    if (modified) {
        m_frame->Document().SetModifiedFlag();
        m_frame->UpdateTitle();
        m_frame->RefreshPaneValues();
        if (QWidget* canvas = m_frame->Canvas())
            canvas->update();
    }
    if (completed)
        AppMessageBoxId(IDS_SPELLING_CHECK_COMPLETE, MB_OK | MB_ICONINFORMATION);
}
