// The progress window of long work (loading and saving a sign, processing
// a picture): a bar and its percentage under a caption from the string
// table. While it is shown its owner is disabled, so that nothing else takes
// input; it is enabled again when the window goes, however the work ends.
// Loading may be stopped with Cancel: the next step then ends the work as
// a user's choice (CUserException).
#pragma once

#include "Seams.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

class CProgressDlg : public QDialog, public CProgressSeam
{
    Q_OBJECT

public:
    enum
    {
        IDD = 141
    };
    enum : int
    {
        IDC_PROGRESS = 1003,
        IDC_PERCENT = 1006,
    };

    explicit CProgressDlg(int captionId);
    ~CProgressDlg() override;

    // Disables the parent's top-level window and shows this one beside it.
    bool Create(QWidget* parent);
    // Offers Cancel; a cancelled window ends the work at its next step.
    void SetCancellable(bool cancellable);
    bool IsCancelled() const { return m_cancelled; }

    void SetRange(int low, int high) override;
    void SetStep(int step) override;
    void StepIt() override;
    void SetPos(int pos) override;

    int GetPos() const { return m_pos; }
    QString PercentText() const;
    // Percent shown for a position: follows the bar, which starts over
    // when a step passes the upper bound.
    static int PercentFor(int pos, int low, int high);

    // Enables the owner again and hides the window.
    void DestroyWindow();

    // Enter and Escape do nothing: only Cancel (when offered) stops the work.
    void accept() override {}
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdatePercent();
    void LetQtRepaint(bool now);

    int m_captionId;
    int m_low = 0;
    int m_high = 100;
    int m_step = 10;
    int m_pos = 0;
    bool m_cancelled = false;
    QPointer<QWidget> m_owner;
    bool m_disabledOwner = false;
    QProgressBar* m_bar = nullptr;
    QLabel* m_percent = nullptr;
    QPushButton* m_cancel = nullptr;
    QElapsedTimer m_sinceEvents;
};
