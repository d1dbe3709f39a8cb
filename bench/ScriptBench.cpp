// Benchmarks of the macro script engine: compiling a 200-line script with
// loops and string functions, and running it once.
#include "ScriptEngine.h"

#include <QString>
#include <benchmark/benchmark.h>

namespace {

// Twenty blocks of ten lines: a loop over string functions, a branch and
// some arithmetic; then the result.
QString TwoHundredLineScript()
{
    QString script = QStringLiteral("' generated for the benchmark\nT$ = \"\"\nN = 0\n");
    for (int k = 0; k < 20; ++k) {
        script += QStringLiteral("FOR I%1 = 1 TO 12\n"
                                 "S%1$ = STR$(I%1 * %2) + NAME$\n"
                                 "T$ = RIGHT$(T$, 40) + MID$(S%1$, 2, 3)\n"
                                 "N = N + LEN(S%1$) * 3 MOD 7 + INSTR(S%1$, \"1\")\n"
                                 "NEXT I%1\n"
                                 "IF N MOD 2 = 0 THEN\n"
                                 "T$ = UCASE$(T$) + CSUM$(4, STR$(N))\n"
                                 "ELSE\n"
                                 "T$ = LCASE$(TRIM$(T$ + \" x \"))\n"
                                 "ENDIF\n")
                      .arg(k)
                      .arg(k + 3);
    }
    script += QStringLiteral("RETURN T$ + STR$(N)\n");
    return script;
}

void BM_ScriptCompile(benchmark::State& state)
{
    const QString script = TwoHundredLineScript();
    CScriptEngine engine;
    for (auto _ : state) {
        const BOOL ok = engine.Compile(script);
        benchmark::DoNotOptimize(ok);
        if (!ok)
            state.SkipWithError("script does not compile");
    }
}
BENCHMARK(BM_ScriptCompile)->Unit(benchmark::kMicrosecond);

void BM_ScriptRun(benchmark::State& state)
{
    CScriptEngine engine;
    if (!engine.Compile(TwoHundredLineScript())) {
        state.SkipWithError("script does not compile");
        return;
    }
    engine.SetInput(QStringLiteral("NAME"), 39, QStringLiteral("Label"));
    for (auto _ : state) {
        engine.Run();
        benchmark::DoNotOptimize(engine.GetResult());
    }
}
BENCHMARK(BM_ScriptRun)->Unit(benchmark::kMicrosecond);

} // namespace
