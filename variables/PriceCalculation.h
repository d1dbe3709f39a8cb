// The price calculation variable: a price or a percentage computed from two
// inputs (a price difference, a discount percentage, a discounted price, a
// currency conversion or a price with purchase tax), rounded to a step and
// written as text.
#pragma once

#include "Variable.h"

#include <array>
#include <functional>

class CPriceCalculation : public CVariable
{
    DECLARE_PERSISTENT(CPriceCalculation)

public:
    enum CalculationType
    {
        CALC_DIFFERENCE = 0,
        CALC_DISCOUNT = 1,
        CALC_DISCOUNTED_PRICE = 2,
        CALC_CURRENCY = 3,
        CALC_PURCHASE_TAX = 4,
    };
    static constexpr int kTypeCount = 5;

    struct Input
    {
        int sourceKind = SOURCE_FIXED;
        QString sourceName;
        QString prompt;
        QString data;
        bool operator==(const Input&) const = default;
    };

    CPriceCalculation();
    CPriceCalculation(const CPriceCalculation&) = default;
    CPriceCalculation& operator=(const CPriceCalculation&) = default;
    ~CPriceCalculation() override;

    static CVariable* Make() { return new CPriceCalculation; }

    // After the common record: type, both inputs (kind, name, prompt, data),
    // rounding step, round up (read from file version 265 on), result.
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
    void WriteXml(CTextExportFile& file) override;

    // An input's value as a number.
    double GetInput(int index) const;
    // The result of the type's formula, before rounding.
    double Compute(double a, double b) const;
    // Computes, rounds and formats the result.
    void Calculate();

    // The type's name, its description and what each input is for.
    static QString TypeName(int type);
    static QString TypeDescription(int type);
    static QString InputDescription(int type, int input);

    // The pages, installed by the user interface: edit the working copy (as
    // a wizard when isNew) and answer whether the user finished.
    static std::function<bool(QWidget* parent, CPriceCalculation& working, bool isNew)> s_dialog;

    int m_type = CALC_DIFFERENCE;
    std::array<Input, 2> m_inputs;
    double m_roundTo = 0.01;
    BOOL m_roundUp = 0;
    QString m_result;
};

// The leading number of the text as the C library's atof reads it in the C
// locale: blanks, a sign, digits with one decimal point and an exponent; 0
// when there is none.
double LeadingNumber(const QString& text);
