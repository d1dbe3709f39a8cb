// The "Rich Text Editor" dialog: the text element's font, colour and
// marked-up sample text loaded into the rich-text control, and the edited
// mark-up taken back into the element on OK (the caller refreshes it).
#pragma once

#include <QDialog>

class CMivant;
class CText;
class QDialogButtonBox;

class CRichTextDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kDialogId = 304;
    static constexpr int kControlId = 1443;

    CRichTextDlg(CText* element, QWidget* parent = nullptr);

    // The printer the control lays the text out for.
    void SetPrinterName(const QString& name) { m_printerName = name; }
    CMivant* Control() const { return m_control; }

    int exec() override;
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void InitDialog();

    CText* m_element = nullptr;
    CMivant* m_control = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QString m_printerName;
    bool m_initialised = false;
    QSize m_firstSize;
    QSize m_controlStart;
};
