#include "DataSourceMap.h"

#include "AppContext.h"
#include "Combination.h"
#include "DataStore.h"
#include "DatabaseLink.h"
#include "Element.h"
#include "ElementList.h"
#include "MacroScript.h"
#include "Messages.h"
#include "ResourceIds.h"
#include "Table.h"
#include "Variable.h"
#include "VariableList.h"

#include <QSet>

#include <algorithm>
#include <new>

namespace {

// The value an owner passes on names it with this kind: 10 for an element,
// the type code minus 8 for a variable.
int KindAsSource(const CDataSourceNode& node)
{
    return node.isElement ? SOURCE_ELEMENT : node.kind - 8;
}

QString NameOf(const CDataSourceNode& node)
{
    return node.isElement ? node.Element()->m_name : node.Variable()->GetName();
}

void Erase(std::vector<CDataSourceNode*>& nodes, const CDataSourceNode* node, bool all)
{
    for (auto it = nodes.begin(); it != nodes.end();) {
        if (*it == node) {
            it = nodes.erase(it);
            if (!all)
                return;
        } else {
            ++it;
        }
    }
}

// Appends, reporting memory exhaustion; the link is then left out.
bool Append(std::vector<CDataSourceNode*>& nodes, CDataSourceNode* node)
{
    try {
        nodes.push_back(node);
        return true;
    } catch (const std::bad_alloc&) {
        AppMessageBoxId(IDS_INSUFFICIENT_MEMORY, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
}

// Gives a renamed source its new name in a variable that takes it.
void RenameVariableSource(CVariable& variable, int kind, const QString& oldName,
                          const QString& newName)
{
    auto* script = dynamic_cast<CMacroScript*>(&variable);
    if (!script)
        return;
    for (qsizetype i = 0; i < script->m_sourceNames.size(); ++i) {
        const std::size_t k = std::size_t(i);
        if (k < script->m_sourceKinds.size() && script->m_sourceKinds[k] == kind &&
            script->m_sourceNames[i].compare(oldName, Qt::CaseInsensitive) == 0)
            script->m_sourceNames[i] = newName;
    }
    auto* combination = dynamic_cast<CCombination*>(&variable);
    if (!combination || kind != SOURCE_ELEMENT)
        return;
    bool changed = false;
    for (qsizetype i = 0; i < combination->m_itemTexts.size(); ++i) {
        const std::size_t k = std::size_t(i);
        if (k < combination->m_itemKinds.size() &&
            combination->m_itemKinds[k] == CCombination::ITEM_ELEMENT &&
            combination->m_itemTexts[i].compare(oldName, Qt::CaseInsensitive) == 0) {
            combination->m_itemTexts[i] = newName;
            changed = true;
        }
    }
    if (changed)
        combination->Build();
}

} // namespace

CElement* CDataSourceNode::Element() const
{
    return isElement ? static_cast<CElement*>(owner) : nullptr;
}

CVariable* CDataSourceNode::Variable() const
{
    return isElement ? nullptr : static_cast<CVariable*>(owner);
}

CDataSourceMap::CDataSourceMap() = default;

CDataSourceMap::~CDataSourceMap()
{
    RemoveAll();
    if (App().dataPaths == this)
        App().dataPaths = nullptr;
}

CDataSourceMap& TheDataSourceMap()
{
    CAppContext& app = App();
    CDataSourceMap& map = app.Get<CDataSourceMap>();
    if (!app.dataPaths)
        app.dataPaths = &map;
    return map;
}

// --- keys ------------------------------------------------------------------------

QString CDataSourceMap::ElementKey(const QString& name)
{
    return name.toUpper();
}

QString CDataSourceMap::VariableKey(int typeCode, const QString& name)
{
    return QStringLiteral("%1%2").arg(typeCode, 2, 10, QLatin1Char('0')).arg(name.toUpper());
}

QString CDataSourceMap::SourceKey(int kind, const QString& name)
{
    if (IsVariableSourceKind(kind))
        return VariableKey(kind + 8, name);
    if (kind == SOURCE_ELEMENT)
        return ElementKey(name);
    return QString();
}

QString CDataSourceMap::KeyOf(const CDataSourceNode& node) const
{
    return node.isElement ? ElementKey(node.Element()->m_name)
                          : VariableKey(node.kind, node.Variable()->GetName());
}

CDataSourceNode* CDataSourceMap::NodeForSource(int kind, const QString& name) const
{
    const QString key = SourceKey(kind, name);
    return key.isEmpty() ? nullptr : m_nodes.value(key, nullptr);
}

CDataSourceNode* CDataSourceMap::FindNode(const CObject* owner) const
{
    if (!owner)
        return nullptr;
    // The owner is an element or a variable; which one is asked of the
    // object itself, never assumed.
    if (const auto* element = dynamic_cast<const CElement*>(owner);
        element && TheElementList().Contains(element)) {
        CDataSourceNode* node = m_nodes.value(ElementKey(element->m_name), nullptr);
        if (node && node->owner == owner)
            return node;
    } else if (const auto* held = dynamic_cast<const CVariable*>(owner);
               held && TheVariableList().Contains(held)) {
        auto* variable = const_cast<CVariable*>(held);
        CDataSourceNode* node =
            m_nodes.value(VariableKey(variable->GetTypeCode(), variable->GetName()), nullptr);
        if (node && node->owner == owner)
            return node;
    }
    // The owner was renamed behind the map's back (or left its list): find
    // it by identity.
    m_nodesSwept += m_nodes.size();
    for (CDataSourceNode* node : m_nodes) {
        if (node->owner == owner)
            return node;
    }
    return nullptr;
}

// --- building ----------------------------------------------------------------------

void CDataSourceMap::RemoveAll()
{
    for (CDataSourceNode* node : std::as_const(m_nodes))
        delete node;
    m_nodes.clear();
}

BOOL CDataSourceMap::Rebuild()
{
    RemoveAll();
    bool ok = true;
    for (CElement* element : TheElementList()) {
        if (element->m_dataSource != SOURCE_FIXED && !AddElement(element, FALSE))
            ok = false;
    }
    for (CVariable* variable : TheVariableList()) {
        if (!AddVariable(variable, FALSE))
            ok = false;
    }
    // Link in list order so that dependents keep a stable order. Each owner
    // was just added under its key, so it is found there, not by looking for
    // it in its whole list, and its new node has no links to undo first:
    // rebuilding stays linear in the size of the sign.
    for (CElement* element : TheElementList()) {
        if (element->m_dataSource == SOURCE_FIXED)
            continue;
        CDataSourceNode* node = m_nodes.value(ElementKey(element->m_name), nullptr);
        if (node && node->owner == element)
            LinkSources(node);
    }
    for (CVariable* variable : TheVariableList()) {
        CDataSourceNode* node =
            m_nodes.value(VariableKey(variable->GetTypeCode(), variable->GetName()), nullptr);
        if (node && node->owner == variable)
            LinkSources(node);
    }
    return ok ? TRUE : FALSE;
}

CDataSourceNode* CDataSourceMap::AddElement(CElement* element, BOOL link)
{
    if (!element || element->m_dataSource == SOURCE_FIXED)
        return nullptr;
    const QString key = ElementKey(element->m_name);
    CDataSourceNode* node = m_nodes.value(key, nullptr);
    if (!node) {
        node = new (std::nothrow) CDataSourceNode;
        if (!node) {
            AppMessageBoxId(IDS_INSUFFICIENT_MEMORY, MB_OK | MB_ICONEXCLAMATION);
            return nullptr;
        }
        node->owner = element;
        node->isElement = true;
        node->kind = element->GetTypeCode();
        m_nodes.insert(key, node);
    } else if (node->owner != element) {
        // Two elements of one name: the newer one takes the key.
        node->owner = element;
        node->isElement = true;
        node->kind = element->GetTypeCode();
    }
    if (link)
        Link(node);
    return node;
}

CDataSourceNode* CDataSourceMap::AddVariable(CVariable* variable, BOOL link)
{
    if (!variable)
        return nullptr;
    const QString key = VariableKey(variable->GetTypeCode(), variable->GetName());
    CDataSourceNode* node = m_nodes.value(key, nullptr);
    if (!node) {
        node = new (std::nothrow) CDataSourceNode;
        if (!node) {
            AppMessageBoxId(IDS_INSUFFICIENT_MEMORY, MB_OK | MB_ICONEXCLAMATION);
            return nullptr;
        }
        m_nodes.insert(key, node);
    }
    node->owner = variable;
    node->isElement = false;
    node->kind = variable->GetTypeCode();
    if (link)
        Link(node);
    return node;
}

// --- linking -----------------------------------------------------------------------

void CDataSourceMap::Unlink(CDataSourceNode* node)
{
    for (CDataSourceNode* source : node->sources)
        Erase(source->dependents, node, true);
    node->sources.clear();
    // A stale entry elsewhere (never expected) goes too.
    m_nodesSwept += m_nodes.size();
    for (CDataSourceNode* other : std::as_const(m_nodes))
        Erase(other->dependents, node, true);
}

bool CDataSourceMap::Feeds(const CDataSourceNode* from, const CDataSourceNode* to) const
{
    // Whether 'to' is reachable from 'from' along dependents; each node is
    // looked at once.
    std::vector<const CDataSourceNode*> stack{from};
    QSet<const CDataSourceNode*> seen;
    while (!stack.empty()) {
        const CDataSourceNode* node = stack.back();
        stack.pop_back();
        if (node == to)
            return true;
        if (seen.contains(node))
            continue;
        seen.insert(node);
        for (const CDataSourceNode* dependent : node->dependents)
            stack.push_back(dependent);
    }
    return false;
}

bool CDataSourceMap::Link(CDataSourceNode* node)
{
    Unlink(node);
    return LinkSources(node);
}

bool CDataSourceMap::LinkSources(CDataSourceNode* node)
{
    std::vector<int> kinds;
    QStringList names;
    if (node->isElement) {
        kinds.push_back(node->Element()->m_dataSource);
        names.append(node->Element()->m_sourceName);
    } else {
        node->Variable()->GetDataSources(kinds, names);
    }
    bool clean = true;
    for (std::size_t i = 0; i < kinds.size() && qsizetype(i) < names.size(); ++i) {
        if (kinds[i] < SOURCE_OPTION_LIST)
            continue;
        CDataSourceNode* source = NodeForSource(kinds[i], names[qsizetype(i)]);
        if (!source)
            continue;
        // A node fed by itself or by anything it feeds would run in a circle.
        if (source == node || Feeds(node, source)) {
            clean = false;
            continue;
        }
        if (std::find(node->sources.begin(), node->sources.end(), source) != node->sources.end())
            continue; // the same input named twice feeds once
        if (!Append(node->sources, source))
            continue;
        if (!Append(source->dependents, node))
            node->sources.pop_back();
    }
    return clean;
}

void CDataSourceMap::DeleteNode(CDataSourceNode* node)
{
    Unlink(node);
    // Nothing keeps the node as a source: its dependents lose that input.
    for (CDataSourceNode* dependent : node->dependents)
        Erase(dependent->sources, node, true);
    node->dependents.clear();
    for (auto it = m_nodes.begin(); it != m_nodes.end();) {
        if (it.value() == node)
            it = m_nodes.erase(it);
        else
            ++it;
    }
    delete node;
}

void CDataSourceMap::RemoveElementNode(CElement* element)
{
    if (CDataSourceNode* node = FindNode(element))
        DeleteNode(node);
}

void CDataSourceMap::RemoveVariableNode(CVariable* variable)
{
    if (CDataSourceNode* node = FindNode(variable))
        DeleteNode(node);
}

// --- edits -------------------------------------------------------------------------

void CDataSourceMap::RenameInDependents(CDataSourceNode* node, int kindAsSource,
                                        const QString& oldName, const QString& newName)
{
    for (CDataSourceNode* dependent : node->dependents) {
        if (dependent->isElement)
            dependent->Element()->m_sourceName = newName;
        else
            RenameVariableSource(*dependent->Variable(), kindAsSource, oldName, newName);
    }
}

BOOL CDataSourceMap::UpdateElement(CElement* element, const QString& oldName)
{
    if (!element)
        return TRUE;
    const bool renamed = element->m_name != oldName;
    CDataSourceNode* node = m_nodes.value(ElementKey(oldName), nullptr);
    if (node && node->owner != element)
        node = nullptr;
    if (!node) {
        if (element->m_dataSource == SOURCE_FIXED)
            return TRUE;
        node = AddElement(element, FALSE);
        if (!node)
            return FALSE;
    } else if (element->m_dataSource == SOURCE_FIXED) {
        DeleteNode(node);
        return TRUE;
    } else if (renamed) {
        m_nodes.remove(ElementKey(oldName));
        m_nodes.insert(ElementKey(element->m_name), node);
    }
    node->kind = element->GetTypeCode();
    const bool clean = Link(node);
    if (renamed) {
        RenameInDependents(node, SOURCE_ELEMENT, oldName, element->m_name);
        // A variable made for this element and named after it follows.
        const int kind = element->m_dataSource;
        if (kind >= SOURCE_OPTION_LIST && kind <= SOURCE_MACRO &&
            element->m_sourceName == oldName) {
            CVariable* variable = TheVariableList().FindVariable(kind + 8, oldName);
            if (variable && variable->GetName().compare(oldName, Qt::CaseInsensitive) == 0 &&
                variable->m_name.compare(oldName, Qt::CaseInsensitive) == 0) {
                variable->m_name = element->m_name;
                UpdateVariable(variable, oldName);
                // Its column in the data store, values and all.
                CDatabaseLink& link = TheDatabaseLink();
                const int type = variable->GetTypeCode();
                if (link.GetLinkKind() == 1 &&
                    (type == VARIABLE_OPTION_LIST ||
                     (type == VARIABLE_DATE_TIME && variable->IsKeyboardSourced()))) {
                    CDataStore store(link);
                    if (store.Columns().contains(oldName, Qt::CaseInsensitive))
                        store.RenameStoreColumn(oldName, element->m_name);
                    else
                        store.AddStoreColumn(element->m_name);
                }
            }
        }
    }
    if (!clean) {
        AppMessageBoxId(IDS_CIRCULAR_DATA_PATH, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

BOOL CDataSourceMap::UpdateVariable(CVariable* variable, const QString& oldName)
{
    if (!variable)
        return TRUE;
    const QString newName = variable->GetName();
    const bool renamed = newName != oldName;
    const QString oldKey = VariableKey(variable->GetTypeCode(), oldName);
    CDataSourceNode* node = m_nodes.value(oldKey, nullptr);
    if (node && node->owner != variable)
        node = FindNode(variable);
    if (!node) {
        node = AddVariable(variable, FALSE);
        if (!node)
            return FALSE;
    } else if (renamed) {
        for (auto it = m_nodes.begin(); it != m_nodes.end();) {
            if (it.value() == node)
                it = m_nodes.erase(it);
            else
                ++it;
        }
        m_nodes.insert(VariableKey(variable->GetTypeCode(), newName), node);
    }
    const bool clean = Link(node);
    if (renamed)
        RenameInDependents(node, KindAsSource(*node), oldName, newName);
    if (!clean) {
        AppMessageBoxId(IDS_CIRCULAR_DATA_PATH, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

BOOL CDataSourceMap::CheckCircularPath(CVariable* variable)
{
    if (!variable)
        return TRUE;
    CDataSourceNode* node = FindNode(variable);
    // A copy being edited in a wizard stands for the variable of its type
    // and name.
    if (!node)
        node = m_nodes.value(VariableKey(variable->GetTypeCode(), variable->GetName()), nullptr);
    if (!node || node->isElement)
        return TRUE;
    std::vector<int> kinds;
    QStringList names;
    variable->GetDataSources(kinds, names);
    for (std::size_t i = 0; i < kinds.size() && qsizetype(i) < names.size(); ++i) {
        CDataSourceNode* source = NodeForSource(kinds[i], names[qsizetype(i)]);
        if (source && (source == node || Feeds(node, source))) {
            AppMessageBoxId(IDS_CIRCULAR_DATA_PATH, MB_OK | MB_ICONEXCLAMATION);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CDataSourceMap::CanDeleteElement(CElement* element)
{
    CDataSourceNode* node = FindNode(element);
    if (node && !node->dependents.empty()) {
        AppMessageBoxIdArgs(IDS_ELEMENT_IS_DATA_SOURCE, {element->m_name},
                            MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

// --- values ------------------------------------------------------------------------

void CDataSourceMap::Deliver(CDataSourceNode* node, const QString& value, int sourceKind,
                             const QString& sourceName, BOOL refresh)
{
    if (node->isElement)
        node->Element()->SetDataText(value, sourceKind, sourceName, refresh);
    else
        node->Variable()->SetSourceValue(value, sourceKind, sourceName, refresh);
}

QString CDataSourceMap::ValueOf(CDataSourceNode* node) const
{
    // An element passes its data without its prefix and suffix.
    return node->isElement ? node->Element()->GetEnteredData() : node->Variable()->GetValue();
}

void CDataSourceMap::PassDown(CDataSourceNode* node, const QString& value, int sourceKind,
                              const QString& sourceName, BOOL refresh,
                              std::vector<CDataSourceNode*>& path)
{
    // Depth-first, pre-order; a node already on the way down is not entered
    // again, so no chain can run for ever.
    path.push_back(node);
    const std::vector<CDataSourceNode*> dependents = node->dependents;
    for (CDataSourceNode* dependent : dependents) {
        if (std::find(path.begin(), path.end(), dependent) != path.end())
            continue;
        Deliver(dependent, value, sourceKind, sourceName, refresh);
        PassDown(dependent, ValueOf(dependent), KindAsSource(*dependent), NameOf(*dependent),
                 refresh, path);
    }
    path.pop_back();
}

void CDataSourceMap::SetSourceValue(CObject* owner, const QString& value, int sourceKind,
                                    const QString& partName, BOOL refresh)
{
    CDataSourceNode* node = FindNode(owner);
    if (!node)
        return;
    Deliver(node, value, sourceKind, partName, refresh);
    std::vector<CDataSourceNode*> path;
    PassDown(node, ValueOf(node), KindAsSource(*node), NameOf(*node), refresh, path);
}

void CDataSourceMap::PropagateElement(CElement* element)
{
    if (CDataSourceNode* node = FindNode(element)) {
        std::vector<CDataSourceNode*> path;
        PassDown(node, ValueOf(node), KindAsSource(*node), NameOf(*node), TRUE, path);
    }
}

void CDataSourceMap::PropagateVariable(CVariable* variable)
{
    if (CDataSourceNode* node = FindNode(variable)) {
        std::vector<CDataSourceNode*> path;
        PassDown(node, ValueOf(node), KindAsSource(*node), NameOf(*node), TRUE, path);
    }
}

namespace {

template <class F>
void WalkDown(CDataSourceNode* node, std::vector<CDataSourceNode*>& path, const F& visit)
{
    if (std::find(path.begin(), path.end(), node) != path.end())
        return;
    visit(node);
    path.push_back(node);
    const std::vector<CDataSourceNode*> dependents = node->dependents;
    for (CDataSourceNode* dependent : dependents)
        WalkDown(dependent, path, visit);
    path.pop_back();
}

} // namespace

void CDataSourceMap::HighlightDependents(CObject* owner, BOOL on)
{
    CDataSourceNode* node = FindNode(owner);
    if (!node)
        return;
    std::vector<CDataSourceNode*> path;
    WalkDown(node, path, [on](CDataSourceNode* n) {
        if (n->isElement)
            n->Element()->SetDataEntryHighlight(on);
    });
}

void CDataSourceMap::RefreshDependents(CObject* owner)
{
    CDataSourceNode* node = FindNode(owner);
    if (!node)
        return;
    std::vector<CDataSourceNode*> path;
    WalkDown(node, path, [](CDataSourceNode* n) {
        if (n->isElement)
            n->Element()->Reformat();
    });
}

namespace {

bool EntryEnabled(const CDataSourceNode* node, std::vector<const CDataSourceNode*>& path)
{
    if (node->isElement) {
        const CElement* element = node->Element();
        const int kind = element->m_dataSource;
        return !(kind == SOURCE_MACRO || kind == SOURCE_GS1 || kind == SOURCE_ELEMENT ||
                 element->m_startDataOnly);
    }
    if (node->kind == VARIABLE_INCREMENTING)
        return false;
    if (std::find(path.begin(), path.end(), node) != path.end())
        return false;
    path.push_back(node);
    bool enabled = false;
    for (const CDataSourceNode* dependent : node->dependents) {
        if (EntryEnabled(dependent, path)) {
            enabled = true;
            break;
        }
    }
    path.pop_back();
    return enabled;
}

} // namespace

BOOL CDataSourceMap::IsEntryEnabled(CObject* owner)
{
    if (const auto* element = dynamic_cast<const CElement*>(owner);
        element && TheElementList().Contains(element)) {
        const int kind = element->m_dataSource;
        return !(kind == SOURCE_MACRO || kind == SOURCE_GS1 || kind == SOURCE_ELEMENT ||
                 element->m_startDataOnly);
    }
    const CDataSourceNode* node = FindNode(owner);
    if (!node)
        return FALSE;
    std::vector<const CDataSourceNode*> path;
    return EntryEnabled(node, path) ? TRUE : FALSE;
}

void CDataSourceMap::WalkTree(
    const std::function<void(const QString& name, int kind, int depth)>& visit) const
{
    const auto sorted = [](std::vector<CDataSourceNode*> nodes) {
        std::stable_sort(nodes.begin(), nodes.end(), [](CDataSourceNode* a, CDataSourceNode* b) {
            return NameOf(*a).compare(NameOf(*b), Qt::CaseInsensitive) < 0;
        });
        return nodes;
    };
    std::vector<CDataSourceNode*> roots;
    for (CDataSourceNode* node : m_nodes) {
        if (node->sources.empty())
            roots.push_back(node);
    }
    std::vector<CDataSourceNode*> path;
    std::function<void(CDataSourceNode*, int)> walk = [&](CDataSourceNode* node, int depth) {
        if (std::find(path.begin(), path.end(), node) != path.end())
            return;
        visit(NameOf(*node), node->kind, depth);
        path.push_back(node);
        for (CDataSourceNode* dependent : sorted(node->dependents))
            walk(dependent, depth + 1);
        path.pop_back();
    };
    for (CDataSourceNode* root : sorted(roots))
        walk(root, 0);
}

// --- the seam ----------------------------------------------------------------------

void CDataSourceMap::AddElement(CObject* element)
{
    auto* held = dynamic_cast<CElement*>(element);
    if (!held || !TheElementList().Contains(held))
        return;
    TakeListedElement(held, held->m_name);
}

void CDataSourceMap::TakeListedElement(CElement* element, const QString& previousName)
{
    // A table's cells come into the sign with it: their links first.
    if (auto* table = dynamic_cast<CTable*>(element))
        table->UpdateFieldLinks();
    if (CDataSourceNode* node = AddElement(element, TRUE))
        RelinkNodesNaming(node);
    KeepStoreColumn(element, previousName);
}

BOOL CDataSourceMap::CheckCircularPath(CObject* variable)
{
    return CheckCircularPath(dynamic_cast<CVariable*>(variable));
}

BOOL CDataSourceMap::CanDeleteElement(CObject* element)
{
    auto* held = dynamic_cast<CElement*>(element);
    if (!held || !TheElementList().Contains(held))
        return TRUE;
    return CanDeleteElement(held);
}

void CDataSourceMap::ReplaceElement(CObject* listed, CObject* restored)
{
    // The restored state may carry another name (a rename taken back): the
    // column follows it from the listed element's name.
    auto* before = dynamic_cast<CElement*>(listed);
    const bool keyboard = before && before->m_dataSource == SOURCE_KEYBOARD;
    const QString previousName = before ? before->m_name : QString();
    RemoveElement(listed);
    auto* element = dynamic_cast<CElement*>(restored);
    if (!element || !TheElementList().Contains(element))
        return;
    TakeListedElement(element, keyboard ? previousName : element->m_name);
}

void CDataSourceMap::KeepStoreColumn(CElement* element, const QString& previousName)
{
    if (!element)
        return;
    if (auto* table = dynamic_cast<CTable*>(element)) {
        for (const STableRow& row : table->m_rows)
            for (const STableCell& cell : row.cells)
                if (cell.element)
                    KeepStoreColumn(cell.element, cell.element->m_name);
    }
    CDatabaseLink& link = TheDatabaseLink();
    if (link.GetLinkKind() != 1 || element->m_dataSource != SOURCE_KEYBOARD)
        return;
    // A refusal has told the user why (the store's error is shown).
    CDataStore(link).SyncStoreColumn(*element, previousName, &TheVariableList());
}

void CDataSourceMap::ReleaseStoreColumn(CElement* element)
{
    CDatabaseLink& link = TheDatabaseLink();
    if (!element || link.GetLinkKind() != 1 || element->m_dataSource != SOURCE_KEYBOARD)
        return;
    // Another keyboard element or a variable of the same name keeps it.
    for (const CElement* other : TheElementList())
        if (other != element && other->m_dataSource == SOURCE_KEYBOARD &&
            other->m_name.compare(element->m_name, Qt::CaseInsensitive) == 0)
            return;
    for (const CVariable* variable : TheVariableList())
        if (variable->GetName().compare(element->m_name, Qt::CaseInsensitive) == 0)
            return;
    CDataStore store(link);
    if (!store.Columns().contains(element->m_name, Qt::CaseInsensitive) ||
        !store.ColumnIsEmpty(element->m_name))
        return;
    store.DeleteStoreColumn(element->m_name);
}

void CDataSourceMap::RelinkNodesNaming(CDataSourceNode* node)
{
    const QString key = KeyOf(*node);
    const QList<CDataSourceNode*> nodes = m_nodes.values();
    for (CDataSourceNode* other : nodes) {
        if (other == node ||
            std::find(other->sources.begin(), other->sources.end(), node) != other->sources.end())
            continue;
        std::vector<int> kinds;
        QStringList names;
        if (other->isElement) {
            kinds.push_back(other->Element()->m_dataSource);
            names.append(other->Element()->m_sourceName);
        } else {
            other->Variable()->GetDataSources(kinds, names);
        }
        for (std::size_t i = 0; i < kinds.size() && qsizetype(i) < names.size(); ++i) {
            if (SourceKey(kinds[i], names[qsizetype(i)]) == key) {
                Link(other);
                break;
            }
        }
    }
}

BOOL CDataSourceMap::UpdateElement(CObject* element, const QString& oldName)
{
    auto* held = dynamic_cast<CElement*>(element);
    if (!held || !TheElementList().Contains(held))
        return TRUE;
    const BOOL linked = UpdateElement(held, oldName);
    KeepStoreColumn(held, oldName);
    return linked;
}

void CDataSourceMap::PropagateElement(CObject* element)
{
    if (auto* held = dynamic_cast<CElement*>(element); held && TheElementList().Contains(held))
        PropagateElement(held);
}

void CDataSourceMap::RemoveElement(CObject* element)
{
    // A table's cells leave the sign with it (or wait in the undo history).
    if (auto* table = dynamic_cast<CTable*>(element)) {
        for (const STableRow& row : table->m_rows) {
            for (const STableCell& cell : row.cells) {
                if (cell.element)
                    RemoveElement(cell.element);
            }
        }
    }
    ReleaseStoreColumn(dynamic_cast<CElement*>(element));
    // The element may already have left its list (undo): find it by identity.
    for (CDataSourceNode* node : std::as_const(m_nodes)) {
        if (node->owner == element) {
            DeleteNode(node);
            return;
        }
    }
}

int CDataSourceMap::GetDependentCount(const CObject* elementOrVariable) const
{
    const CDataSourceNode* node = FindNode(elementOrVariable);
    return node ? int(node->dependents.size()) : 0;
}

void CDataSourceMap::AddVariable(CObject* variable)
{
    auto* v = dynamic_cast<CVariable*>(variable);
    if (!v || !TheVariableList().Contains(v))
        return;
    if (CDataSourceNode* node = AddVariable(v, TRUE))
        RelinkNodesNaming(node);
    // An option list, or a date/time stamp whose extra days are typed, keeps
    // its values in a column of the data store.
    CDatabaseLink& link = TheDatabaseLink();
    const int type = v->GetTypeCode();
    if (link.GetLinkKind() == 1 &&
        (type == VARIABLE_OPTION_LIST || (type == VARIABLE_DATE_TIME && v->IsKeyboardSourced())))
        CDataStore(link).AddStoreColumn(v->GetName());
}

void CDataSourceMap::RemoveVariable(CObject* variable)
{
    for (CDataSourceNode* node : std::as_const(m_nodes)) {
        if (node->owner == variable) {
            DeleteNode(node);
            return;
        }
    }
}
