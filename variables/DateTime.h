// The date/time stamp variable: the date and time of printing as text in a
// strftime format, moved by a fixed number of days and, when allowed, by a
// further number of days typed at print time or read from a database field.
#pragma once

#include "Variable.h"

#include <QStringList>

#include <ctime>
#include <functional>

class CDateTime : public CVariable
{
    DECLARE_PERSISTENT(CDateTime)

public:
    enum AdditionalSource
    {
        ADDITIONAL_KEYBOARD = 1,
        ADDITIONAL_DATABASE = 2,
    };

    CDateTime();
    CDateTime(const CDateTime&) = default;
    CDateTime& operator=(const CDateTime&) = default;
    ~CDateTime() override;

    static CVariable* Make() { return new CDateTime; }

    // After the common record: format, offset days, allow additional,
    // additional source, field (the last two from file version 400 on).
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
    BOOL PrepareForPrint() override;
    void WriteXml(CTextExportFile& file) override;
    BOOL IsKeyboardSourced() const override;
    BOOL IsDatabaseSourced() const override;
    QString GetSourceFieldName() const override;
    QString GetStoredData(BOOL noStore) override;
    void BreakDatabaseLink() override;

    // The value for the current time moved by the offset and the additional
    // days.
    void Recalculate();

    // The standard formats the wizard offers, in order.
    static const QStringList& StandardFormats();
    // The time as text in the format, the program's week number standing for
    // "%U" and "%W".
    static QString FormatDateTime(const QString& format, std::time_t when);

    // The clock: the current time. Tests set a fixed one; null is the
    // system clock.
    static std::function<std::time_t()> s_clock;
    static std::time_t Now();

    // The property pages, installed by the user interface: edit the working
    // copy (as a wizard when isNew) and answer whether the user finished.
    static std::function<bool(QWidget* parent, CDateTime& working, bool isNew)> s_dialog;

    QString m_format;
    int m_offsetDays = 0;
    BOOL m_allowAdditional = 0;
    int m_additionalDays = 0;
    QString m_value;
    int m_additionalSource = ADDITIONAL_KEYBOARD;
    QString m_field;
};
