#include "DataStoreDlg.h"

#include "DataStore.h"
#include "DateTime.h"
#include "Element.h"
#include "ElementList.h"
#include "FileName.h"
#include "MessageBox.h"
#include "Variable.h"
#include "VariableList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

// --- Add To Data Store ----------------------------------------------------------------

CAddToDataStoreDlg::CAddToDataStoreDlg(bool allowNew, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setWindowTitle(tr("Add To Data Store"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(tr("Replace existing data store record for this product ?"), this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const struct
    {
        int result;
        QString text;
    } kinds[] = {{IDYES, tr("&Yes")}, {IDNO, tr("&No")}, {kAddToStoreNew, tr("Ne&w")}};
    for (const auto& kind : kinds) {
        auto* button = new QPushButton(kind.text, this);
        button->setObjectName(QStringLiteral("id%1").arg(kind.result));
        button->setAutoDefault(false);
        if (kind.result == IDYES)
            button->setDefault(true);
        if (kind.result == kAddToStoreNew)
            button->setEnabled(allowNew);
        connect(button, &QPushButton::clicked, this,
                [this, result = kind.result] { done(result); });
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
}

int AskAddToDataStore(QWidget* parent, bool allowNew)
{
    CAddToDataStoreDlg dialog(allowNew, parent);
    const int result = dialog.exec();
    // Closing the box is No.
    return result == IDYES || (result == kAddToStoreNew && allowNew) ? result : IDNO;
}

// --- Data Store -------------------------------------------------------------------------

namespace {

QString StoreNameRefused()
{
    return QObject::tr("The data store is kept beside the sign: give a plain file name, "
                       "without a folder.");
}

} // namespace

QStringList CDataStoreDlg::KeyCandidates(const CElementList& elements,
                                         const CVariableList& variables)
{
    QStringList names;
    const auto add = [&names](const QString& name) {
        if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
            names << name;
    };
    for (const CElement* element : elements)
        if (element->m_dataSource == SOURCE_KEYBOARD)
            add(element->m_name);
    for (const CVariable* variable : variables)
        if (variable->GetTypeCode() == VARIABLE_OPTION_LIST)
            add(variable->GetName());
    for (const CVariable* variable : variables)
        if (variable->GetTypeCode() == VARIABLE_DATE_TIME && variable->IsKeyboardSourced())
            add(variable->GetName());
    return names;
}

bool CDataStoreDlg::IsBareFileName(const QString& name)
{
    if (name.isEmpty() || name != name.trimmed() || name == u'.' || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' ||
            c == u'"' || c == u'<' || c == u'>' || c == u'|')
            return false;
    }
    // The store's table is named after the file: it needs a name before
    // its extension.
    return !CFileName(name).GetFileTitle(false).isEmpty();
}

CDataStoreDlg::CDataStoreDlg(CDatabaseLink& link, const CElementList& elements,
                             const CVariableList& variables, QString signPath,
                             std::function<QString()> saveSign, QWidget* parent)
    : QDialog(parent), m_link(link), m_elements(elements), m_variables(variables),
      m_signPath(std::move(signPath)), m_saveSign(std::move(saveSign))
{
    setObjectName(QStringLiteral("id%1").arg(IDD));
    setWindowTitle(tr("Data Store"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        tr("If you have elements that acquire data from the keyboard you can use the Data Store "
           "feature to save frequently used entries into a database. These can be retrieved "
           "whenever the design is printed, saving the need to retype the data every time."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* saveRow = new QHBoxLayout;
    auto* mustSave =
        new QLabel(tr("You must save the design before you can use this feature."), this);
    mustSave->setWordWrap(true);
    m_saveNow = new QPushButton(tr("Save Now..."), this);
    m_saveNow->setObjectName(QStringLiteral("id%1").arg(IDC_SAVE_NOW));
    m_saveNow->setAutoDefault(false);
    saveRow->addWidget(mustSave, 1);
    saveRow->addWidget(m_saveNow);
    layout->addLayout(saveRow);

    auto* grid = new QGridLayout;
    m_enable = new QCheckBox(tr("&Enable Data Storage Using :"), this);
    m_enable->setObjectName(QStringLiteral("id%1").arg(IDC_ENABLE));
    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("id%1").arg(IDC_FILE));
    m_file->setReadOnly(true);
    m_fileEdit = new QPushButton(tr(">"), this);
    m_fileEdit->setObjectName(QStringLiteral("id%1").arg(IDC_FILE_EDIT));
    m_fileEdit->setAutoDefault(false);
    m_fileEdit->setMaximumWidth(m_fileEdit->fontMetrics().horizontalAdvance(QStringLiteral("> ")) +
                                16);
    m_unique = new QCheckBox(tr("&Unique Entries Identified By :"), this);
    m_unique->setObjectName(QStringLiteral("id%1").arg(IDC_UNIQUE));
    m_key = new QComboBox(this);
    m_key->setObjectName(QStringLiteral("id%1").arg(IDC_KEY));
    m_copyQuantity = new QCheckBox(tr("Include copy quantity"), this);
    m_copyQuantity->setObjectName(QStringLiteral("id%1").arg(IDC_COPY_QUANTITY));
    grid->addWidget(m_enable, 0, 0);
    grid->addWidget(m_file, 0, 1);
    grid->addWidget(m_fileEdit, 0, 2);
    grid->addWidget(m_unique, 1, 0);
    grid->addWidget(m_key, 1, 1, 1, 2);
    grid->addWidget(m_copyQuantity, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    auto* box = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("id1"));
    box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("id2"));
    box->button(QDialogButtonBox::Help)->setEnabled(false);
    connect(box, &QDialogButtonBox::accepted, this, &CDataStoreDlg::accept);
    connect(box, &QDialogButtonBox::rejected, this, &CDataStoreDlg::reject);
    layout->addWidget(box);

    connect(m_saveNow, &QPushButton::clicked, this, &CDataStoreDlg::OnSaveNow);
    connect(m_enable, &QCheckBox::clicked, this, &CDataStoreDlg::OnEnable);
    connect(m_unique, &QCheckBox::clicked, this, &CDataStoreDlg::OnUnique);
    connect(m_fileEdit, &QPushButton::clicked, this,
            [this] { m_file->setReadOnly(!m_file->isReadOnly()); });

    // The state the dialog opens in.
    m_key->addItems(KeyCandidates(elements, variables));
    if (m_link.GetLinkKind() == 1) {
        m_enable->setChecked(true);
        m_file->setText(CFileName(m_link.m_dataSource).GetFileTitle(true));
        const QString key = m_link.m_keyField;
        const int index = key.isEmpty() ? -1 : m_key->findText(key, Qt::MatchFixedString);
        m_unique->setChecked(index >= 0);
        m_key->setCurrentIndex(index);
        m_key->setEnabled(index >= 0);
        m_copyQuantity->setChecked(m_link.m_storeCopyQuantity != FALSE);
    } else {
        m_enable->setEnabled(!m_signPath.isEmpty());
        m_unique->setEnabled(false);
        m_key->setEnabled(false);
        m_key->setCurrentIndex(-1);
        m_copyQuantity->setEnabled(false);
    }
    m_saveNow->setEnabled(m_signPath.isEmpty());
}

void CDataStoreDlg::OnSaveNow()
{
    if (!m_saveSign)
        return;
    const QString path = m_saveSign();
    if (path.isEmpty())
        return;
    m_signPath = path;
    m_enable->setEnabled(true);
    m_saveNow->setEnabled(false);
}

void CDataStoreDlg::OnEnable()
{
    const bool on = m_enable->isChecked();
    if (on) {
        m_file->setText(CDataStore::MakeStorePath(m_signPath, QString(), false));
        m_unique->setChecked(true);
        m_unique->setEnabled(true);
        m_key->setEnabled(true);
        if (m_key->currentIndex() < 0 && m_key->count() > 0)
            m_key->setCurrentIndex(0);
    } else {
        m_file->clear();
        m_unique->setChecked(false);
        m_unique->setEnabled(false);
        m_key->setCurrentIndex(-1);
        m_key->setEnabled(false);
    }
    m_copyQuantity->setEnabled(on);
}

void CDataStoreDlg::OnUnique()
{
    m_key->setEnabled(m_unique->isChecked());
}

bool CDataStoreDlg::Apply()
{
    if (!m_enable->isChecked()) {
        // The store file itself stays on disk.
        if (m_link.GetLinkKind() == 1)
            m_link.Disconnect();
        return true;
    }
    if (m_link.GetLinkKind() != 1) {
        const QString name = m_file->text();
        if (!IsBareFileName(name)) {
            AppMessageBox(StoreNameRefused(), MB_OK | MB_ICONEXCLAMATION);
            m_file->setReadOnly(false);
            m_file->setFocus();
            m_file->selectAll();
            return false;
        }
        if (m_link.GetLinkKind() != -1) {
            AppMessageBox(tr("The sign is linked to a database. Disconnect it before keeping "
                             "typed data in a data store."),
                          MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        CDataStore store(m_link);
        if (!store.CreateDataStore(m_signPath, name, m_elements, m_variables)) {
            // The store reports what went wrong; anything it did not explain
            // is said here, and the dialog stays for another try.
            if (store.LastError().isEmpty())
                AppMessageBox(tr("The data store \"%1\" could not be made.").arg(ElideMiddle(name)),
                              MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
    }
    m_link.m_keyField = m_unique->isChecked() ? m_key->currentText() : QString();
    m_link.m_storeCopyQuantity = m_copyQuantity->isChecked() ? TRUE : FALSE;
    if (m_link.m_storeCopyQuantity) {
        CDataStore store(m_link);
        if (!store.AddStoreColumn(QStringLiteral("CopyQty")))
            return false;
    }
    return true;
}

void CDataStoreDlg::accept()
{
    if (Apply())
        QDialog::accept();
}

BOOL RunDataStoreDialog(QWidget* parent, CDatabaseLink& link, const CElementList& elements,
                        const CVariableList& variables, const QString& signPath,
                        std::function<QString()> saveSign)
{
    CDataStoreDlg dialog(link, elements, variables, signPath, std::move(saveSign), parent);
    return dialog.exec() == QDialog::Accepted ? TRUE : FALSE;
}
