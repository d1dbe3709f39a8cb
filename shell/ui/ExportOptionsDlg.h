// "Export Options": where pictures and the database go inside a zip package,
// whether the text database's schema file goes with it, and which of the
// program's side files are packed too.
#pragma once

#include "ZipPackage.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QRadioButton;

class CExportOptionsDlg : public QDialog
{
    Q_OBJECT

public:
    enum
    {
        IDD = 310,
        IDC_PICTURES_ROOT = 1475,
        IDC_PICTURES_SUBFOLDER = 1476,
        IDC_PICTURE_FOLDER = 1477,
        IDC_DATABASE_ROOT = 1478,
        IDC_DATABASE_SUBFOLDER = 1479,
        IDC_DATABASE_FOLDER = 1480,
        IDC_SCHEMA = 1483,
        IDC_PAPER_DESIGNS = 1136,
        IDC_MACRO_SCRIPTS = 1361,
        IDC_PRICE_FORMATS = 1184,
        IDC_BARCODE_STYLES = 1484,
        IDC_DATABASE_FILTERS = 1271,
        IDC_SERIAL_NUMBERS = 1292,
        IDC_CUSTOM_DICTIONARY = 1260,
    };

    // The options as they stand; pictures and databases included come from
    // the Export As box. textDatabase: the sign's database is a text file,
    // whose schema file is then offered (and chosen) each time.
    CExportOptionsDlg(const CZipExportOptions& options, bool textDatabase,
                      QWidget* parent = nullptr);

    const CZipExportOptions& Options() const { return m_options; }

    // Refuses a subfolder name that cannot be used; else takes the choices.
    void accept() override;

private:
    void UpdateTargets();

    CZipExportOptions m_options;
    QRadioButton* m_picturesSub = nullptr;
    QRadioButton* m_picturesRoot = nullptr;
    QLineEdit* m_pictureFolder = nullptr;
    QRadioButton* m_databaseSub = nullptr;
    QRadioButton* m_databaseRoot = nullptr;
    QLineEdit* m_databaseFolder = nullptr;
    QCheckBox* m_schema = nullptr;
    QCheckBox* m_sideFiles[7] = {};
};
