// How the readers grow with their input: each is timed on an input and on
// one eight times larger, and the fitted growth is reported (the tests only
// check that it stays far from quadratic, on the CPU time they spend).
#include "AppContext.h"
#include "Archive.h"
#include "Box.h"
#include "DataSourceMap.h"
#include "ElementList.h"
#include "MessageBox.h"
#include "Paper.h"
#include "RichText.h"
#include "ScriptEngine.h"
#include "ShellParts.h"
#include "SignData.h"
#include "TableFormat.h"
#include "TestSupport.h"
#include "UserList.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <benchmark/benchmark.h>

namespace {

// Opening a sign of state.range(0) boxes.
void BM_OpenSignOfBoxes(benchmark::State& state)
{
    EnsureGuiApp();
    CTestHome home;
    RegisterAllClasses();
    CAppContext context;
    CMessageResponder messages;
    const int count = int(state.range(0));
    for (int i = 0; i < count; ++i) {
        auto* box = new CBox;
        box->m_name = QStringLiteral("Box%1").arg(i + 1);
        box->SetBounds(nullptr, CRect(i % 1000, 10, i % 1000 + 50, 60));
        TheElementList().AddTail(box);
    }
    const QString path = home.FilePath("many.sgn");
    {
        CSignData sign;
        sign.OnSaveDocument(path);
    }
    TheElementList().DeleteAll();
    for (auto _ : state) {
        CSignData opened;
        if (!opened.OnOpenDocument(path))
            state.SkipWithError("the sign does not open");
        state.PauseTiming();
        TheElementList().DeleteAll();
        state.ResumeTiming();
    }
    state.SetComplexityN(count);
}
BENCHMARK(BM_OpenSignOfBoxes)
    ->Arg(25000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Reading a string map of state.range(0) keys from an archive.
void BM_ReadStringMap(benchmark::State& state)
{
    const int keys = int(state.range(0));
    QByteArray bytes;
    {
        CArchive ar(&bytes, CArchive::store);
        ar.WriteCount(DWORD(keys));
        for (int i = 0; i < keys; ++i)
            ar << QStringLiteral("key%1").arg(i) << QString::number(i);
        ar.Flush();
    }
    for (auto _ : state) {
        QByteArray copy = bytes;
        CArchive ar(&copy, CArchive::load);
        CStringMap map;
        ar.ReadStringMap(map);
        benchmark::DoNotOptimize(map.GetCount());
    }
    state.SetComplexityN(keys);
}
BENCHMARK(BM_ReadStringMap)->Arg(25000)->Arg(200000)->Unit(benchmark::kMillisecond)->Complexity();

// Mark-up of state.range(0) unclosed brackets.
void BM_HostileMarkup(benchmark::State& state)
{
    EnsureGuiApp();
    const QString markup = QStringLiteral("<").repeated(state.range(0));
    for (auto _ : state) {
        CRichText rich;
        QString text = markup;
        rich.Parse(text, 0, CLogFont(CLogFont::DefaultLogFont()), 0);
        benchmark::DoNotOptimize(text.size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_HostileMarkup)->Arg(37500)->Arg(300000)->Unit(benchmark::kMillisecond)->Complexity();

// A table format of state.range(0) rows.
void BM_TableFormat(benchmark::State& state)
{
    QString text = QStringLiteral("<table>");
    for (int i = 0; i < state.range(0); ++i)
        text += QStringLiteral("<tr>\n<td type=\"3\"></td><td></td>\n</tr>\n");
    text += QStringLiteral("</table>");
    for (auto _ : state)
        benchmark::DoNotOptimize(CTableFormat::Parse(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_TableFormat)->Arg(2500)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();

// Compiling a script of state.range(0) lines (16,663 is the longest text).
void BM_ScriptCompileLong(benchmark::State& state)
{
    QString text;
    for (int i = 0; i < state.range(0); ++i)
        text += QStringLiteral("A = A + LEN(MID$(S$, 1, (2)))\n");
    text += QStringLiteral("RETURN A");
    CScriptEngine engine;
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.Compile(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ScriptCompileLong)
    ->Arg(2080)
    ->Arg(16663)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Loading a user table of state.range(0) users.
void BM_LoadUserTable(benchmark::State& state)
{
    EnsureGuiApp();
    CTestHome home;
    CAppContext context;
    {
        QSettings shared(home.FilePath("Corvane.ini"), QSettings::IniFormat);
        shared.setValue("Admin/Users/access", 1);
        for (int i = 0; i < state.range(0); ++i) {
            const QString section = QStringLiteral("Admin/Users/User%1/").arg(i);
            shared.setValue(section + "name", QStringLiteral("User %1").arg(i));
            shared.setValue(section + "password", QStringLiteral("pw%1").arg(i));
            shared.setValue(section + "access", i % 3);
        }
    }
    for (auto _ : state) {
        CUserList users;
        users.Load();
        benchmark::DoNotOptimize(users.Users().size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoadUserTable)->Arg(1250)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

// A stock library of state.range(0) refused stocks, one with a long name.
void BM_RefusedStocks(benchmark::State& state)
{
    EnsureGuiApp();
    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    const int stocks = int(state.range(0));
    QByteArray bytes = QByteArray(CPaper::kLibraryHeader) + "\r\n";
    bytes += "Cat," + QByteArray(stocks * 10, 'N') + ",2100,2970,0,0,0,0,0,991,0,0,381,1,0\r\n";
    for (int i = 0; i < stocks; ++i)
        bytes += "Cat,Bad" + QByteArray::number(i) + ",2100,2970,0,0,0,0,0,991,0,0,381,1,0\r\n";
    QFile file(QDir(home.Path()).filePath(QStringLiteral("Stock.zel")));
    if (!file.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the stock library");
        return;
    }
    file.write(bytes);
    file.close();
    for (auto _ : state) {
        ThePaper().Init(QString());
        messages.Clear();
    }
    state.SetComplexityN(stocks);
}
BENCHMARK(BM_RefusedStocks)->Arg(12500)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

// Rebuilding the data paths of a sign of state.range(0) elements, half of them
// typed at the keyboard, as saving and opening the sign do.
void BM_RebuildDataSourceMap(benchmark::State& state)
{
    EnsureGuiApp();
    CAppContext context;
    CMessageResponder messages;
    const int count = int(state.range(0));
    for (int i = 0; i < count; ++i) {
        auto* box = new CBox;
        box->m_name = QStringLiteral("E%1").arg(i);
        box->m_dataSource = i % 2 ? SOURCE_FIXED : SOURCE_KEYBOARD;
        TheElementList().AddTail(box);
    }
    CDataSourceMap map;
    for (auto _ : state) {
        if (!map.Rebuild())
            state.SkipWithError("the map does not rebuild");
        benchmark::DoNotOptimize(map.GetNodeCount());
    }
    map.RemoveAll();
    TheElementList().DeleteAll();
    state.SetComplexityN(count);
}
BENCHMARK(BM_RebuildDataSourceMap)
    ->Arg(25000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace
