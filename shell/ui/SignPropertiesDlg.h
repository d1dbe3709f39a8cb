// "Template Properties": the sign file's name, place, size, times and the
// version that last wrote it, and the sign's title, author and description.
#pragma once

#include <QDialog>

class CSignData;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

class CSignPropertiesDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CSignPropertiesDlg(CSignData& document, QWidget* parent = nullptr);

    // Copies title, author and description back into the sign.
    void accept() override;

private:
    QLabel* AddInfo(class QFormLayout* form, const QString& label, const QString& name,
                    const QString& value);

    CSignData& m_document;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_author = nullptr;
    QPlainTextEdit* m_description = nullptr;
};
