// "Getting Started": open an existing sign or go on with the new one, and
// whether to show this again at start-up.
#pragma once

#include <QDialog>
#include <QHash>

class QCheckBox;
class QToolButton;

class CWelcomeDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kOpenExisting = 1512;
    static constexpr int kCreateNew = 1137;

    explicit CWelcomeDlg(QWidget* parent = nullptr);

    // "Show this screen at startup", as stored by the buttons (Escape and
    // the close box store nothing).
    int ShowAtStartup() const { return m_showAtStartup; }
    QCheckBox* ShowCheck() const { return m_show; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Choose(int button);

    QCheckBox* m_show = nullptr;
    QHash<QObject*, QToolButton*> m_captions; // caption label -> its choice
    int m_showAtStartup = 1;
};
