// What the user interface gives the readers and writers of a sign: the
// progress window of loading and saving, and the Missing File dialog for a
// picture, a paper stock's picture or a database that is not where the
// sign says. Both programs install them once their main window exists.
#pragma once

class QWidget;

// The owner is the window the progress window and the dialogs stand over.
void InstallReadingHooks(QWidget* owner);
// Takes them out again when they were installed for that owner (which is
// going).
void RemoveReadingHooks(QWidget* owner);

// While one lives, a sign is read without a word to the user: no progress
// window, no questions (each is answered as its default button would be),
// a missing file kept as it is and a database block read without linking.
// The open box's preview reads signs so.
class CQuietSignReading
{
public:
    CQuietSignReading();
    ~CQuietSignReading();
    CQuietSignReading(const CQuietSignReading&) = delete;
    CQuietSignReading& operator=(const CQuietSignReading&) = delete;

private:
    struct Saved;
    Saved* m_saved;
};
