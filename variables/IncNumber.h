// The incrementing number variable: a counter printed on successive labels,
// stepped like an odometer in one of five character styles every so many
// labels, every page or every row, up or down, with an optional limit at
// which it stops or starts again. Its start may come from a named number
// sequence that carries on across signs and print runs.
#pragma once

#include "Variable.h"

#include <functional>

class CIncNumber : public CVariable
{
    DECLARE_PERSISTENT(CIncNumber)

public:
    // The start's own kind beside those of the data sources.
    static constexpr int SOURCE_SEQUENCE = 11;

    enum IncrementType
    {
        INCREMENT_LABELS = 0,
        INCREMENT_PAGE = 1,
        INCREMENT_ROW = 2,
    };
    enum Style
    {
        STYLE_DECIMAL = 0,
        STYLE_HEXADECIMAL = 1,
        STYLE_ALPHA = 2,
        STYLE_ALPHANUMERIC = 3,
        STYLE_CUSTOM = 4,
    };
    enum LimitAction
    {
        LIMIT_NONE = 0,
        LIMIT_STOP = 1,
        LIMIT_RESTART = 2,
    };

    CIncNumber();
    CIncNumber(const CIncNumber&) = default;
    CIncNumber& operator=(const CIncNumber&) = default;
    ~CIncNumber() override;

    static CVariable* Make() { return new CIncNumber; }

    // After the common record: the start (source, name, prompt, value), the
    // increment (type, amount, frequency, style, sequence) and the limit
    // (action, source, name, prompt, value). The current value is not kept.
    void Serialize(CArchive& ar) override;

    int GetTypeCode() const override;
    QString GetTypeName() const override;
    BOOL DoNewDialog(QWidget* parent) override;
    BOOL DoEditDialog(QWidget* parent) override;
    int GetDataSources(std::vector<int>& kinds, QStringList& names) override;
    void SetSourceValue(const QString& value, int sourceKind, const QString& sourceName,
                        BOOL refresh) override;
    QString GetValue() override;
    void ResetValue() override;
    void AdvanceAfterPrint() override;
    void EndPrintRun() override;
    void BeginPrintJob() override;
    void DiscardPrintJob() override;
    void WriteXml(CTextExportFile& file) override;

    // One step of the counter as the printer's label counters call for it.
    void Advance(int labelsSinceCopiesEdit, int copies);
    // The value moved by the amount, honouring the limit.
    void Step();
    // One unit up or down of the text in the style; the custom style steps
    // through the sequence's characters.
    static QString StepUp(const QString& value, int style, const QString& sequence);
    static QString StepDown(const QString& value, int style, const QString& sequence);

    static QString StyleName(int style);
    static QString LimitActionName(int action);

    // The pages, installed by the user interface: edit the working copy (as
    // a wizard when isNew) and answer whether the user finished.
    static std::function<bool(QWidget* parent, CIncNumber& working, bool isNew)> s_dialog;

    int m_startSource = SOURCE_FIXED;
    QString m_startName;
    QString m_startPrompt;
    QString m_startValue = QStringLiteral("1");
    int m_incrementType = INCREMENT_LABELS;
    int m_amount = 1;
    int m_frequency = 1;
    int m_style = STYLE_DECIMAL;
    QString m_sequence;
    int m_limitAction = LIMIT_NONE;
    int m_limitSource = SOURCE_FIXED;
    QString m_limitName;
    QString m_limitPrompt;
    QString m_limitValue = QStringLiteral("999");
    QString m_currentValue;

private:
    // The value when the print job in hand began: a job that is cancelled or
    // fails takes the number back there.
    QString m_jobStartValue;
    bool m_jobStarted = false;
};
