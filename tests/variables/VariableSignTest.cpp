// The everyday variables inside a sign file: written and read back byte for
// byte, and a damaged file read without harm.
#include "AppContext.h"
#include "Damage.h"
#include "DateTime.h"
#include "IncNumber.h"
#include "MessageBox.h"
#include "OptionList.h"
#include "Paper.h"
#include "PriceCalculation.h"
#include "SignData.h"
#include "TestSupport.h"
#include "VariableList.h"
#include "VariableParts.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(VariableSignTest, EveryKindTravelsWithTheSignAndDamageIsHarmless)
{
    EnsureGuiApp();
    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    const CSignHooks savedHooks = SignHooks();
    RegisterVariableSignParts();
    ThePaper().Init("A4");

    CVariableList& list = TheVariableList();
    auto* stamp = static_cast<CDateTime*>(list.CreateVariable(VARIABLE_DATE_TIME, "Packed"));
    stamp->m_format = "%d %b %Y";
    stamp->m_offsetDays = 3;
    auto* calc = static_cast<CPriceCalculation*>(list.CreateVariable(VARIABLE_PRICE_CALC, "Now"));
    calc->m_type = CPriceCalculation::CALC_DISCOUNTED_PRICE;
    calc->m_inputs[0].data = "12.50";
    calc->m_inputs[1].data = "20";
    calc->Calculate();
    auto* number = static_cast<CIncNumber*>(list.CreateVariable(VARIABLE_INCREMENTING, "No"));
    number->m_startValue = "A01";
    number->m_style = CIncNumber::STYLE_ALPHANUMERIC;
    number->m_limitAction = CIncNumber::LIMIT_STOP;
    auto* options = static_cast<COptionList*>(list.CreateVariable(VARIABLE_OPTION_LIST, "Size"));
    options->m_options = {"Small", "Large"};
    options->m_dataValues = {"S", "L"};
    options->m_separateData = TRUE;

    const QString path = home.FilePath("variables.sgn");
    CSignData doc;
    ASSERT_TRUE(doc.OnSaveDocument(path));
    const QByteArray saved = ReadAll(path);

    CSignData loaded;
    ASSERT_TRUE(loaded.OnOpenDocument(path)) << messages.LastText().toStdString();
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(static_cast<CDateTime*>(list.GetAt(0))->m_format, "%d %b %Y");
    EXPECT_EQ(static_cast<CPriceCalculation*>(list.GetAt(1))->GetValue(), "10.00");
    EXPECT_EQ(static_cast<CIncNumber*>(list.GetAt(2))->m_startValue, "A01");
    EXPECT_EQ(static_cast<COptionList*>(list.GetAt(3))->m_dataValues, (QStringList{"S", "L"}));
    ASSERT_TRUE(loaded.OnSaveDocument(home.FilePath("again.sgn")));
    EXPECT_EQ(ReadAll(home.FilePath("again.sgn")), saved);

    // Damaged copies: each is read or refused, and never changed.
    std::mt19937 rng(123);
    const QString damagedPath = home.FilePath("damaged.sgn");
    for (int round = 0; round < 200; ++round) {
        const QByteArray damaged = DamagedCopy(saved, rng);
        {
            QFile f(damagedPath);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(damaged);
        }
        messages.SetDefaultAnswer(IDNO);
        CSignData reader;
        if (reader.OnOpenDocument(damagedPath)) {
            // Whatever was read is in range and can be used.
            for (CVariable* variable : TheVariableList()) {
                variable->ResetValue();
                variable->AdvanceAfterPrint();
                variable->GetValue();
            }
        }
        EXPECT_EQ(ReadAll(damagedPath), damaged) << round;
    }
    SignHooks() = savedHooks;
}
