// tabrel_print_labels N OUT.pdf [shelf]: prints N shelf labels to a PDF the
// way the print loop prints a run, as one whole process for timing against
// other label programs: the 3 x 8 sheet of LabelRun.h, the name and code
// changed before every label, one PrintSign per label in one job. With
// "shelf" the labels carry a price and an EAN-13 instead of the Code 128.
#include "AppContext.h"
#include "LabelRun.h"
#include "MessageBox.h"
#include "ShellParts.h"
#include "TestSupport.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    const bool shelf = argc == 4 && QByteArray(argv[3]) == "shelf";
    if (argc != 3 && !shelf) {
        std::fprintf(stderr, "usage: %s N OUT.pdf [shelf]\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    const long count = std::strtol(argv[1], &end, 10);
    if (!end || *end || count < 0 || count > 10000000) {
        std::fprintf(stderr, "%s: N must be a number of labels\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString pdf = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();

    CTestHome home;
    CAppContext context;
    CMessageResponder messages;
    RegisterAllClasses();
    ThePaper().Init(QStringLiteral("A4"));
    bench::UseLabelSheet();
    CSignData sign;
    sign.m_title = QStringLiteral("Shelf labels");
    const BOOL printed =
        shelf ? bench::PrintShelfLabels(sign, bench::MakeShelfLabel(), int(count), pdf)
              : bench::PrintLabels(sign, bench::MakeLabel(), int(count), pdf);
    if (!printed) {
        std::fprintf(stderr, "%s: printing failed\n", argv[0]);
        return 1;
    }
    return 0;
}
