// "Export As" for zip packages: the package's name, the sign templates to
// pack (the open sign's file first), what goes with them, and the advanced
// options. Save packs them and tells the user what was packed, or what was
// left out.
#pragma once

#include "ZipPackage.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;

class CZipExport : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 309,
        IDC_FILE_NAME = 1152,
        IDC_BROWSE = 1153,
        IDC_TEMPLATES = 1087,
        IDC_INCLUDE_TEMPLATES = 1473,
        IDC_INCLUDE_PICTURES = 1474,
        IDC_INCLUDE_DATABASES = 1233,
        IDC_ADD = 1243,
        IDC_REMOVE = 1284,
        IDC_ADVANCED = 1196,
        IDC_PROGRESS = 1482,
        IDC_PACKING = 1086,
    };

    // signPath: the open sign's file (empty when it was never saved);
    // folder: where the package is suggested.
    CZipExport(const QString& signPath, const QString& folder, QWidget* parent = nullptr);

    QStringList Templates() const { return m_templates; }
    QString PackagePath() const;
    // What the last Save gave.
    const CZipExportResult& Result() const { return m_result; }

    // Save: packs, tells the user, and closes.
    void accept() override;

private:
    void OnBrowse();
    void OnAdd();
    void OnRemove();
    void OnAdvanced();
    void AddTemplate(const QString& path);

    QStringList m_templates;
    CZipExportOptions m_options;
    CZipExportResult m_result;
    bool m_textDatabase = false;
    QLineEdit* m_fileName = nullptr;
    QListWidget* m_list = nullptr;
    QCheckBox* m_pictures = nullptr;
    QCheckBox* m_databases = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_packing = nullptr;
};
