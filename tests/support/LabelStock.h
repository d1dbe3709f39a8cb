// The stock library of the printing tests: a plain A4 page and a sheet of
// 3 x 8 labels, 63.5 x 33.9 mm at a pitch of 66 x 33.9 mm from 7.2 and
// 12.9 mm.
#pragma once

#include "TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

inline constexpr char kLabelStockLibrary[] =
    "[Category,Name,Page Width,Page Height,Continuous,Top Margin,Left Margin,Type,Corner "
    "Radius,Label Width,Columns,Horz Pitch,Label Height,Rows,Vert Pitch]\r\n"
    "Standard,A4,2100,2970,0,0,0,0,0,2100,1,0,2970,1,0\r\n"
    "Labels,Labels 3x8,2100,2970,0,129,72,0,20,635,3,6600,339,8,3390\r\n";

// Writes it as the user's stock library in the test's home; false when the
// file could not be written.
inline bool WriteLabelStockLibrary(const CTestHome& home)
{
    QFile file(home.FilePath(QStringLiteral("Stock.zel")));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(kLabelStockLibrary) == qint64(sizeof(kLabelStockLibrary) - 1);
}

// The text of one label cell of a printed page of the 3 x 8 stock, blanks
// and line breaks removed.
inline QString CellText(const QString& pdf, int page, int cell)
{
    const double pointsPerMm = 72.0 / 25.4;
    const double x = (7.2 + 66.0 * (cell % 3)) * pointsPerMm;
    const double y = (12.9 + 33.9 * (cell / 3)) * pointsPerMm;
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {"-f", QString::number(page), "-l", QString::number(page), "-r", "72", "-x",
                   QString::number(int(x)), "-y", QString::number(int(y)), "-W",
                   QString::number(int(63.5 * pointsPerMm)), "-H",
                   QString::number(int(33.9 * pointsPerMm)), pdf, "-"});
    process.waitForFinished(30000);
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}
