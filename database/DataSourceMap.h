// The data-path map of the open sign: which element or variable feeds which.
// Every element with a data path and every variable has one node listing the
// nodes it takes values from and the nodes that take values from it. The map
// passes values downstream, refuses a path that would run in a circle and
// tells whether an element or variable still feeds anything.
#pragma once

#include "Seams.h"
#include "Types.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class CElement;
class CObject;
class CVariable;

struct CDataSourceNode
{
    // The owner's element type code (0..10) or variable type code (11..17).
    int kind = 0;
    CObject* owner = nullptr;
    bool isElement = true;
    std::vector<CDataSourceNode*> sources;
    std::vector<CDataSourceNode*> dependents;

    CElement* Element() const;
    CVariable* Variable() const;
};

class CDataSourceMap : public CDataPathSeam
{
public:
    CDataSourceMap();
    ~CDataSourceMap() override;
    CDataSourceMap(const CDataSourceMap&) = delete;
    CDataSourceMap& operator=(const CDataSourceMap&) = delete;

    // Keys: an element's name in upper case; a variable's type code (two
    // digits) and name in upper case; a source reference the same way.
    static QString ElementKey(const QString& name);
    static QString VariableKey(int typeCode, const QString& name);
    static QString SourceKey(int kind, const QString& name);

    // Empties the map and builds it again from the element and variable
    // lists, then links every node to its sources. FALSE when a node could
    // not be added (the map is then partly built).
    BOOL Rebuild();
    void RemoveAll();

    // A node for the element (none for a fixed element) or the variable,
    // linked to its sources when link is TRUE. A source that would close a
    // circle is left out.
    CDataSourceNode* AddElement(CElement* element, BOOL link);
    CDataSourceNode* AddVariable(CVariable* variable, BOOL link);
    // Brings a node up to date after its owner's name or data path changed.
    // FALSE, after telling the user, when a source was refused because it
    // would close a circle (that link is left out).
    BOOL UpdateElement(CElement* element, const QString& oldName);
    BOOL UpdateVariable(CVariable* variable, const QString& oldName);
    void RemoveElementNode(CElement* element);
    void RemoveVariableNode(CVariable* variable);

    // FALSE, after message 63087, when one of the variable's sources is the
    // variable itself or is fed by it through any chain.
    BOOL CheckCircularPath(CVariable* variable);
    // FALSE, after message 63093, when the element feeds anything.
    BOOL CanDeleteElement(CElement* element);

    // Pass the owner's current value on to everything downstream.
    void PropagateElement(CElement* element);
    void PropagateVariable(CVariable* variable);
    // Delivers a value to the owner (an element or variable) and on down.
    void SetSourceValue(CObject* owner, const QString& value, int sourceKind,
                        const QString& partName, BOOL refresh);
    void HighlightDependents(CObject* owner, BOOL on);
    void RefreshDependents(CObject* owner);
    BOOL IsEntryEnabled(CObject* owner);

    // The nodes that take values from nothing, each with its tree below
    // (the data tree): visit(name, kind, depth) in depth-first order, names
    // sorted under each parent.
    void WalkTree(const std::function<void(const QString& name, int kind, int depth)>& visit) const;

    CDataSourceNode* FindNode(const CObject* owner) const;
    int GetNodeCount() const { return int(m_nodes.size()); }
    // How many nodes the sweeps over the whole map (looking for an owner by
    // identity, taking a node out of every dependents array) have looked at
    // so far: the work that grows with the square of the sign when it is
    // done once per element.
    qint64 GetNodesSwept() const { return m_nodesSwept; }

    // CDataPathSeam
    void AddElement(CObject* element) override;
    void RemoveElement(CObject* element) override;
    int GetDependentCount(const CObject* elementOrVariable) const override;
    void RemoveVariable(CObject* variable) override;
    void AddVariable(CObject* variable) override;
    BOOL UpdateElement(CObject* element, const QString& oldName) override;
    void ReplaceElement(CObject* listed, CObject* restored) override;
    BOOL CanDeleteElement(CObject* element) override;
    BOOL CheckCircularPath(CObject* variable) override;
    void PropagateElement(CObject* element) override;

private:
    // An element of the list comes (back) into the map: a table's cells
    // with it, the nodes that name it linked again, its store column kept
    // from the name it had.
    void TakeListedElement(CElement* element, const QString& previousName);
    // The sign's data store keeps one column per keyboard element: the
    // element's column follows its name (values and all), and an element
    // that comes into the sign gets one. A column that cannot follow is
    // reported; no stored value is dropped.
    void KeepStoreColumn(CElement* element, const QString& previousName);
    // An element that leaves the sign: its column goes when it holds no
    // value; a column with values stays for the element to come back to.
    void ReleaseStoreColumn(CElement* element);
    QString KeyOf(const CDataSourceNode& node) const;
    CDataSourceNode* NodeForSource(int kind, const QString& name) const;
    // Empties the node's sources and takes it out of every dependents array.
    void Unlink(CDataSourceNode* node);
    // Links the node to its sources; FALSE when a source was refused
    // because the node already feeds it.
    bool Link(CDataSourceNode* node);
    // Link without undoing links first: for a node that has none.
    bool LinkSources(CDataSourceNode* node);
    void DeleteNode(CDataSourceNode* node);
    // Links again every node that names this one as a source (it came back
    // after an undo or an edit).
    void RelinkNodesNaming(CDataSourceNode* node);
    bool Feeds(const CDataSourceNode* from, const CDataSourceNode* to) const;
    void PassDown(CDataSourceNode* node, const QString& value, int sourceKind,
                  const QString& sourceName, BOOL refresh, std::vector<CDataSourceNode*>& path);
    void Deliver(CDataSourceNode* node, const QString& value, int sourceKind,
                 const QString& sourceName, BOOL refresh);
    QString ValueOf(CDataSourceNode* node) const;
    void RenameInDependents(CDataSourceNode* node, int kindAsSource, const QString& oldName,
                            const QString& newName);

    QHash<QString, CDataSourceNode*> m_nodes;
    mutable qint64 m_nodesSwept = 0;
};

// The map of the current application context; made (and installed as the
// context's data-path seam) on first use.
CDataSourceMap& TheDataSourceMap();
