// The price calculation's pages: "Calculation Type", "Input" (one for each
// of the two inputs) and "Rounding".
#pragma once

#include "VariableSheet.h"

class CPriceCalculation;
class CSourceChoice;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class CPriceCalcPage1 : public CVariablePage
{
    Q_OBJECT

public:
    CPriceCalcPage1(CPriceCalculation& variable, QWidget* parent = nullptr);
    bool Leave() override;

    QRadioButton* TypeButton(int type) const;
    QLabel* Description() const { return m_description; }

private:
    CPriceCalculation& m_variable;
    QButtonGroup* m_types = nullptr;
    QLabel* m_description = nullptr;
};

class CPriceCalcPage2 : public CVariablePage
{
    Q_OBJECT

public:
    CPriceCalcPage2(CPriceCalculation& variable, int input, QWidget* parent = nullptr);
    void Enter() override;
    bool Leave() override;

    QLabel* Description() const { return m_description; }
    CSourceChoice* Source() const { return m_source; }

private:
    CPriceCalculation& m_variable;
    int m_input;
    QLabel* m_description = nullptr;
    CSourceChoice* m_source = nullptr;
};

class CPriceCalcPage3 : public CVariablePage
{
    Q_OBJECT

public:
    CPriceCalcPage3(CPriceCalculation& variable, QWidget* parent = nullptr);
    void Enter() override;
    bool Leave() override;
    int NextPage(int) const override { return -1; }

    QLineEdit* RoundEdit() const { return m_round; }
    QLabel* UnitLabel() const { return m_unit; }
    QCheckBox* RoundDownCheck() const { return m_roundDown; }

private:
    CPriceCalculation& m_variable;
    QLineEdit* m_round = nullptr;
    QLabel* m_unit = nullptr;
    QCheckBox* m_roundDown = nullptr;
    int m_shownType = -1;
};

// The wizard for a new price calculation, or its property sheet (without
// the type page).
bool RunPriceCalcSheet(QWidget* parent, CPriceCalculation& working, bool isNew);
