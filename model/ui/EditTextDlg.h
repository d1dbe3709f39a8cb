// The "Edit Text" dialog: a longer text seen, or edited, in a multi-line
// field.
#pragma once

#include <QDialog>

class QPlainTextEdit;

class CEditTextDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CEditTextDlg(QWidget* parent = nullptr);

    // Set before running the dialog; read after OK.
    QString m_text;
    bool m_readOnly = false;

    QPlainTextEdit* Field() const { return m_field; }

    int exec() override;
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void InitDialog();

    QPlainTextEdit* m_field = nullptr;
    bool m_initialised = false;
};
