// The readers of the single file formats, behind LoadFileSource and
// ListFileSourceTables. Each fills a CSourceTable or fails with a message.
#pragma once

#include "SourceTable.h"

#include <QStringList>

#include <functional>

bool ReadTextSource(const QString& path, CSourceTable* table, QString* error);

bool ReadDbfSource(const QString& path, CSourceTable* table, QString* error);
// Whether the file is a dBASE table that can be read.
bool ProbeDbfSource(const QString& path, QString* error);

QStringList ListXlsSheets(const QString& path, QString* error);
bool ReadXlsSheet(const QString& path, const QString& sheet, bool header, CSourceTable* table,
                  QString* error);

QStringList ListXlsxSheets(const QString& path, QString* error);
bool ReadXlsxSheet(const QString& path, const QString& sheet, bool header, CSourceTable* table,
                   QString* error);

// A Paradox table; with no table only checks that the file is one.
bool ReadParadoxTable(const QString& path, CSourceTable* table, QString* error);

// A Lotus 1-2-3 worksheet of release 1 or 2 (.wks, .wk1).
bool ReadLotusSheet(const QString& path, bool header, CSourceTable* table, QString* error);

QStringList ListAccessTables(const QString& path, QString* error);
bool ReadAccessTable(const QString& path, const QString& name, CSourceTable* table, QString* error);

// Reads a file whole, refusing one larger than the readers take; false with
// *error when it cannot be read.
bool ReadWholeFile(const QString& path, QByteArray* bytes, QString* error);

// Turns the first row of a sheet into column names (header on) or names the
// columns F1, F2, ... (header off), then settles the kinds.
void TakeHeaderRow(CSourceTable* table, bool header);

// Runs read in a child process and brings back the table (or the names) it
// read, or its error; a child that crashes, or takes longer than a few
// seconds more than reading inputBytes should, gives a clear error.
bool ReadIsolated(const std::function<bool(CSourceTable*, QStringList*, QString*)>& read,
                  CSourceTable* table, QStringList* names, QString* error, qint64 inputBytes = 0);
