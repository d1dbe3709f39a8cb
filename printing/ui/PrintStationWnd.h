// The print station: a container over the design canvas while a sign is
// printed record by record. It shows either the single sign or the whole
// sheet of labels as the printer fills it.
#pragma once

#include <QTimer>
#include <QWidget>

class CSheetPreviewWnd;

class CPrintStationWnd : public QWidget
{
    Q_OBJECT

public:
    enum
    {
        IDD = 363
    };

    // singleSign: the reduced picture of the one sign (the station takes
    // it). The view is the ViewMode preference when it is not -1, else the
    // whole sheet when the stock has more than one label per sheet.
    CPrintStationWnd(QWidget* parent, QWidget* singleSign);
    ~CPrintStationWnd() override;

    // Shows the whole sheet (true) or the single sign.
    void SetSheetView(bool wholeSheet);
    bool IsSheetView() const { return m_wholeSheet; }
    // Sizes the station and both previews to the parent's client area.
    void FitToParent();

    // The sign's values changed: both previews show them, at once or, when
    // they did a moment ago, with the changes that follow (a run of many
    // signs repaints a few times a second, not once a sign).
    void ShowChanges();

    CSheetPreviewWnd* Sheet() const { return m_sheet; }
    QWidget* SingleSign() const { return m_single; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RepaintPreviews();

    CSheetPreviewWnd* m_sheet = nullptr;
    QWidget* m_single = nullptr;
    bool m_wholeSheet = false;
    QTimer m_changesTimer;
    bool m_changesPending = false;
};
