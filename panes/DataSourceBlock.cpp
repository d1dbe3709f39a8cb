#include "DataSourceBlock.h"

#include "AppContext.h"
#include "DatabaseLink.h"
#include "ElementList.h"
#include "MacroScript.h"
#include "MessageBox.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "ScriptPage.h"
#include "ScriptStore.h"
#include "Strings.h"
#include "Variable.h"
#include "VariableList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace PaneBuild;

CDataSourceBlock::CDataSourceBlock(bool withCombination, Edits edits,
                                   std::function<bool()> linkDatabase, QWidget* parent)
    : CPaneBlock(tr("Source"), std::move(edits), parent), m_linkDatabase(std::move(linkDatabase))
{
    auto* grid = new QGridLayout(this);
    m_type = Named(new QComboBox(this), 1000);
    struct Kind
    {
        int stringId;
        int kind;
    };
    const Kind kinds[] = {{IDS_SOURCE_FIXED, SOURCE_FIXED},
                          {IDS_SOURCE_KEYBOARD, SOURCE_KEYBOARD},
                          {IDS_SOURCE_DATABASE, SOURCE_DATABASE},
                          {IDS_SOURCE_OPTION_LIST, SOURCE_OPTION_LIST},
                          {IDS_SOURCE_INCREMENTING_NUMBER, SOURCE_INCREMENTING},
                          {IDS_SOURCE_DATE_TIME_STAMP, SOURCE_DATE_TIME},
                          {IDS_SOURCE_PRICE_CALCULATION, SOURCE_PRICE_CALC},
                          {IDS_SOURCE_COMBINATION, SOURCE_COMBINATION},
                          {IDS_SOURCE_MACRO_SCRIPT, SOURCE_MACRO},
                          {IDS_SOURCE_ANOTHER_ELEMENT, SOURCE_ELEMENT}};
    for (const Kind& k : kinds) {
        if (k.kind == SOURCE_COMBINATION && !withCombination)
            continue;
        m_type->addItem(LoadStringId(k.stringId), k.kind);
    }
    AddRow(grid, 0, tr("Type"), m_type);
    m_name = Named(new QComboBox(this), 1001);
    m_nameLabel = AddRow(grid, 1, LoadStringId(IDS_LABEL_NAME), m_name, 1132);
    auto* buttons = new QHBoxLayout;
    m_readOnly = Named(new QCheckBox(tr("Read Only"), this), 1091);
    m_edit = Named(new QPushButton(tr("Edit..."), this), 1004);
    m_create = Named(new QPushButton(tr("New..."), this), 1137);
    buttons->addWidget(m_readOnly);
    buttons->addStretch(1);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_create);
    grid->addLayout(buttons, 2, 1);
    m_prompt = Named(new QLineEdit(this), 1072);
    m_promptLabel = AddRow(grid, 3, tr("Prompt"), m_prompt, 1254);
    m_startOnly = Named(new QCheckBox(tr("Data required only at start of batch"), this), 1259);
    m_mustEnter = Named(new QCheckBox(tr("Data must be entered when required"), this), 1263);
    m_useSample = Named(new QCheckBox(tr("Use the sample as the initial print data"), this), 1265);
    grid->addWidget(m_startOnly, 4, 0, 1, 3);
    grid->addWidget(m_mustEnter, 5, 0, 1, 3);
    grid->addWidget(m_useSample, 6, 0, 1, 3);

    connect(m_type, &QComboBox::activated, this, &CDataSourceBlock::OnType);
    connect(m_name, &QComboBox::activated, this, &CDataSourceBlock::OnName);
    connect(m_prompt, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (CElement* element = Editable()) {
            element->m_prompt = text;
            MarkModified();
        }
    });
    for (QCheckBox* check : {m_startOnly, m_mustEnter, m_useSample, m_readOnly})
        connect(check, &QCheckBox::clicked, this, [this, check] { OnChecks(check); });
    connect(m_edit, &QPushButton::clicked, this, &CDataSourceBlock::OnEdit);
    connect(m_create, &QPushButton::clicked, this, &CDataSourceBlock::OnNew);
}

void CDataSourceBlock::Bind(CElement* element)
{
    SetBound(element);
    if (!element)
        return;
    SetBinding(true);
    Load(element);
    SetBinding(false);
}

CElement* CDataSourceBlock::Editable() const
{
    if (IsBinding() || !Bound())
        return nullptr;
    const Edits& edits = PaneEdits();
    return edits.begin ? edits.begin(nullptr) : Bound();
}

void CDataSourceBlock::SelectKind(int kind)
{
    const int index = m_type->findData(kind);
    m_type->setCurrentIndex(index);
}

void CDataSourceBlock::FillNames(int kind, CElement* element, bool keepUnknownField)
{
    m_name->clear();
    if (kind == SOURCE_MACRO) {
        // A macro source names a script of the store.
        FillScriptCombo(TheScriptStore(), m_name, element->m_sourceName);
        const int exact = m_name->findText(element->m_sourceName);
        if (exact >= 0)
            m_name->setCurrentIndex(exact);
        return;
    }
    if (kind == SOURCE_DATABASE) {
        // The fields of the linked table or view in their own order, the
        // element's field selected, else the first. A field the source no
        // longer has stays in the list as it is, so the pane never shows
        // another field than the one the element reads.
        CDatabaseLink& link = TheDatabaseLink();
        const QStringList fields =
            link.GetLinkKind() == 0 && link.IsConnected() ? link.FieldNames() : QStringList();
        m_name->addItems(fields);
        int at = -1;
        for (int i = 0; i < fields.size() && at < 0; ++i) {
            if (fields[i].compare(element->m_sourceName, Qt::CaseInsensitive) == 0)
                at = i;
        }
        if (at < 0 && keepUnknownField && !element->m_sourceName.isEmpty()) {
            m_name->addItem(element->m_sourceName);
            at = m_name->count() - 1;
        }
        m_name->setCurrentIndex(at >= 0 ? at : (fields.isEmpty() ? -1 : 0));
        return;
    }
    QStringList items;
    int selected = -1;
    if (kind >= SOURCE_OPTION_LIST && kind <= SOURCE_COMBINATION) {
        TheVariableList().FillComboBox(items, selected, kind + 8, element->m_sourceName);
    } else if (kind == SOURCE_ELEMENT) {
        selected = TheElementList().FillComboWithLinked(items, element->m_sourceName);
    }
    items.sort(Qt::CaseInsensitive);
    m_name->addItems(items);
    const int exact = m_name->findText(element->m_sourceName);
    m_name->setCurrentIndex(exact >= 0 ? exact : (items.isEmpty() ? -1 : 0));
}

void CDataSourceBlock::Load(CElement* element)
{
    const int kind = element->m_dataSource;
    SelectKind(kind);
    m_nameLabel->setText(LoadStringId(kind == SOURCE_DATABASE ? IDS_LABEL_FIELD : IDS_LABEL_NAME));
    FillNames(kind, element);
    if (kind == SOURCE_DATABASE) {
        // An element that names no field yet shows none chosen.
        if (element->m_sourceName.isEmpty())
            m_name->setCurrentIndex(-1);
        m_readOnly->setChecked(element->m_dbReadOnly);
    }
    if (kind != SOURCE_FIXED) {
        m_prompt->setText(element->m_prompt);
        m_startOnly->setChecked(element->m_startDataOnly);
        m_mustEnter->setChecked(element->m_mustEnterData);
        m_useSample->setChecked(element->m_useSampleData);
    }
    Enable(kind);
    m_appliedKind = kind;
}

void CDataSourceBlock::Enable(int kind)
{
    CElement* element = Bound();
    const bool fixed = kind == SOURCE_FIXED;
    const bool keyboard = kind == SOURCE_KEYBOARD;
    const bool variable = kind >= SOURCE_OPTION_LIST && kind <= SOURCE_COMBINATION &&
                          kind != SOURCE_MACRO && kind != SOURCE_GS1;
    m_nameLabel->setEnabled(!fixed && !keyboard);
    m_name->setEnabled(!fixed && !keyboard);
    m_readOnly->setVisible(kind == SOURCE_DATABASE);
    m_edit->setVisible(variable || kind == SOURCE_MACRO);
    bool offerNew = kind == SOURCE_MACRO;
    if (variable)
        offerNew = !element || m_name->findText(element->m_name) < 0;
    m_create->setVisible(offerNew);
    m_promptLabel->setEnabled(!fixed);
    m_prompt->setEnabled(!fixed);
    if (!fixed)
        m_prompt->setReadOnly(!keyboard && kind != SOURCE_DATABASE);
    m_startOnly->setEnabled(!fixed);
    m_mustEnter->setEnabled(keyboard);
    m_useSample->setEnabled(keyboard && !m_mustEnter->isChecked());
}

void CDataSourceBlock::RefreshDataPath(CElement* element)
{
    if (CDataPathSeam* paths = App().dataPaths) {
        paths->RemoveElement(element);
        if (element->m_dataSource != SOURCE_FIXED)
            paths->AddElement(element);
    }
}

void CDataSourceBlock::ReleaseMacroVariable(CElement* element, const QString& name)
{
    CVariableList& variables = TheVariableList();
    CVariable* variable = variables.FindVariable(VARIABLE_MACRO, name);
    if (!variable)
        return;
    bool used = false;
    if (CDataPathSeam* paths = App().dataPaths) {
        // Take this element's own link out first, so the count is of the others.
        paths->RemoveElement(element);
        used = paths->GetDependentCount(variable) != 0;
    } else {
        for (CElement* other : TheElementList()) {
            if (other != element && other->m_dataSource == SOURCE_MACRO &&
                other->m_sourceName == name)
                used = true;
        }
        for (int i = 0; i < variables.GetCount() && !used; ++i) {
            auto* macro = dynamic_cast<CMacroScript*>(variables.GetAt(i));
            if (macro && macro != variable && macro->m_sourceNames.contains(name))
                used = true;
        }
    }
    if (used)
        return;
    if (CDataPathSeam* paths = App().dataPaths)
        paths->RemoveVariable(variable);
    variables.RemoveVariable(variable);
}

CVariable* CDataSourceBlock::NewVariable(int kind, CElement* element)
{
    CVariableList& variables = TheVariableList();
    CVariable* variable = variables.CreateVariable(kind + 8, element->m_name);
    if (!variable)
        return nullptr;
    if (!variable->DoNewDialog(this)) {
        variables.RemoveVariable(variable);
        return nullptr;
    }
    if (CDataPathSeam* paths = App().dataPaths)
        paths->AddVariable(variable);
    return variable;
}

void CDataSourceBlock::OnNew()
{
    CElement* element = Editable();
    if (!element)
        return;
    const int kind = element->m_dataSource;
    CVariable* variable = NewVariable(kind, element);
    if (!variable)
        return;
    const QString name = variable->GetName();
    int at = m_name->findText(name);
    if (at < 0) {
        m_name->addItem(name);
        at = m_name->count() - 1;
    }
    m_name->setCurrentIndex(at);
    OnName(at);
    if (kind != SOURCE_MACRO)
        m_create->setVisible(false);
    emit edited();
}

void CDataSourceBlock::OnEdit()
{
    CElement* element = Editable();
    if (!element)
        return;
    const int kind = element->m_dataSource;
    const QString name = m_name->currentText();
    CVariableList& variables = TheVariableList();
    CVariable* variable = variables.FindVariable(kind + 8, name);
    if (!variable && kind == SOURCE_MACRO && !name.isEmpty()) {
        if (auto* macro =
                dynamic_cast<CMacroScript*>(variables.CreateVariable(VARIABLE_MACRO, name))) {
            macro->m_scriptName = name;
            macro->CompileFromStore();
            if (CDataPathSeam* paths = App().dataPaths)
                paths->AddVariable(macro);
            variable = macro;
        }
    }
    if (!variable || !variable->DoEditDialog(this))
        return;
    m_prompt->setText(variable->m_prompt);
    element->m_prompt = variable->m_prompt;
    RefreshDataPath(element);
    MarkModified();
    emit edited();
}

void CDataSourceBlock::OnType(int index)
{
    CElement* element = Editable();
    if (!element)
        return;
    const int kind = m_type->itemData(index).toInt();
    auto refuse = [&] { SelectKind(m_appliedKind); };

    switch (kind) {
    case SOURCE_FIXED:
        m_name->clear();
        m_prompt->clear();
        element->m_startDataOnly = element->m_mustEnterData = element->m_useSampleData = 0;
        m_startOnly->setChecked(false);
        m_mustEnter->setChecked(false);
        m_useSample->setChecked(false);
        break;
    case SOURCE_KEYBOARD:
        m_name->clear();
        m_prompt->setText(element->m_prompt);
        m_startOnly->setChecked(element->m_startDataOnly);
        m_mustEnter->setChecked(element->m_mustEnterData);
        m_useSample->setChecked(element->m_useSampleData);
        break;
    case SOURCE_DATABASE: {
        // Without the SQL drivers no database can be linked at all.
        if (!TheDatabaseLink().m_jetPresent) {
            AppMessageBoxId(IDS_DATABASE_SUPPORT_NOT_INSTALLED);
            return refuse();
        }
        CDataLinkSeam* link = App().dataLink;
        const int linkKind = link ? link->GetLinkKind() : -1;
        if (linkKind == 1) {
            AppMessageBoxId(IDS_LINK_USED_FOR_DATA_STORAGE);
            return refuse();
        }
        if (linkKind != 0) {
            // No database yet: the user links the sign to one first.
            if (!m_linkDatabase || !m_linkDatabase())
                return refuse();
        }
        FillNames(kind, element, element->m_dataSource == SOURCE_DATABASE);
        element->m_dbReadOnly = 1;
        m_readOnly->setChecked(true);
        break;
    }
    case SOURCE_ELEMENT:
        if (!TheElementList().HasLinkedElements()) {
            AppMessageBoxId(IDS_NO_VARIABLE_ELEMENTS);
            return refuse();
        }
        FillNames(kind, element);
        break;
    default:
        if (kind >= SOURCE_OPTION_LIST && kind <= SOURCE_COMBINATION && kind != SOURCE_GS1) {
            FillNames(kind, element);
            if (m_name->count() == 0) {
                // No variable (or script) of this kind yet: the user makes one.
                CVariable* made = NewVariable(kind, element);
                if (!made)
                    return refuse();
                m_name->addItem(made->GetName());
                m_name->setCurrentIndex(0);
            }
            const int own = m_name->findText(element->m_name);
            if (own >= 0 && kind != SOURCE_MACRO)
                m_name->setCurrentIndex(own);
            if (kind == SOURCE_INCREMENTING)
                element->m_startDataOnly = 1;
        }
        break;
    }
    if (kind >= SOURCE_DATABASE) {
        m_startOnly->setChecked(element->m_startDataOnly);
        element->m_mustEnterData = element->m_useSampleData = 0;
        m_mustEnter->setChecked(false);
        m_useSample->setChecked(false);
    }
    m_nameLabel->setText(LoadStringId(kind == SOURCE_DATABASE ? IDS_LABEL_FIELD : IDS_LABEL_NAME));
    if (element->m_dataSource == SOURCE_MACRO && kind != SOURCE_MACRO)
        ReleaseMacroVariable(element, element->m_sourceName);
    element->m_dataSource = kind;
    if (kind > SOURCE_KEYBOARD && m_name->currentIndex() >= 0)
        OnName(m_name->currentIndex());
    Enable(kind);
    RefreshDataPath(element);
    m_appliedKind = kind;
    MarkModified();
    emit edited();
}

void CDataSourceBlock::OnName(int index)
{
    CElement* element = Editable();
    if (!element || index < 0)
        return;
    const QString name = m_name->itemText(index);
    const int kind = element->m_dataSource;
    QString prompt;
    if (kind == SOURCE_DATABASE) {
        element->m_prompt = name;
        m_prompt->setText(name);
    } else if (kind >= SOURCE_OPTION_LIST && kind <= SOURCE_COMBINATION && kind != SOURCE_MACRO) {
        if (CVariable* variable = TheVariableList().FindVariable(kind + 8, name)) {
            m_prompt->setText(variable->m_prompt);
            if (!variable->m_prompt.isEmpty())
                element->m_prompt = variable->m_prompt;
        }
    } else if (kind == SOURCE_MACRO) {
        if (name != element->m_sourceName)
            ReleaseMacroVariable(element, element->m_sourceName);
        // The sign runs the chosen script through a variable of its name.
        if (!TheVariableList().FindVariable(VARIABLE_MACRO, name)) {
            if (auto* macro = dynamic_cast<CMacroScript*>(
                    TheVariableList().CreateVariable(VARIABLE_MACRO, name))) {
                macro->m_scriptName = name;
                macro->CompileFromStore();
                if (CDataPathSeam* paths = App().dataPaths)
                    paths->AddVariable(macro);
            }
        }
        element->m_prompt.clear();
        m_prompt->clear();
    } else if (kind == SOURCE_ELEMENT) {
        if (CElement* other = TheElementList().FindByName(name)) {
            m_prompt->setText(other->m_prompt);
            if (!other->m_prompt.isEmpty())
                element->m_prompt = other->m_prompt;
        }
    }
    element->m_sourceName = name;
    RefreshDataPath(element);
    MarkModified();
}

void CDataSourceBlock::OnChecks(QObject* check)
{
    CElement* element = Editable();
    if (!element)
        return;
    if (check == m_mustEnter) {
        if (m_mustEnter->isChecked())
            m_useSample->setChecked(false);
        m_useSample->setEnabled(!m_mustEnter->isChecked());
    }
    element->m_startDataOnly = m_startOnly->isChecked();
    element->m_mustEnterData = m_mustEnter->isChecked();
    element->m_useSampleData = m_useSample->isChecked();
    element->m_dbReadOnly = m_readOnly->isChecked();
    MarkModified();
}
