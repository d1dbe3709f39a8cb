// The pane shown when no element is selected: the sign's label stock and
// printer, read-only, each with a "Change..." button.
#pragma once

#include "ElementView.h"

class QLabel;

class CSettingsView : public CElementView
{
    Q_OBJECT

public:
    // signCaptions: the stock rows read "Sign Stock", "Sign Width" and
    // "Sign Height" (the pane built for an element without a pane of its
    // own); otherwise "Label Stock", "Label Width" and "Label Height".
    explicit CSettingsView(bool signCaptions = false, QWidget* parent = nullptr);
    void UpdateSettings() override;

    // What the "Change..." buttons start: true when something ran. Unset
    // (or returning false) the buttons say that the dialog is not available
    // yet.
    static std::function<bool(QWidget* pane)>& ChangePaper();
    static std::function<bool(QWidget* pane)>& ChangePrinter();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnChange(bool paper);

    bool m_shownOnce = false;

    QLabel* m_stock = nullptr;
    QLabel* m_width = nullptr;
    QLabel* m_height = nullptr;
    QLabel* m_widthUnit = nullptr;
    QLabel* m_heightUnit = nullptr;
    QLabel* m_perPage = nullptr;
    QLabel* m_printer = nullptr;
    QLabel* m_port = nullptr;
    QLabel* m_source = nullptr;
};
