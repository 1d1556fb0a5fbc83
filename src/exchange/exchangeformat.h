#pragma once

#include <QString>
#include <QStringList>

// The kinds of file tasks are exported to and imported from. TAB and semicolon files are written
// without quoting, as other programs of this kind expect them; CSV follows RFC 4180; iCalendar
// follows RFC 5545.
enum class ExchangeFormat { Tab, Semicolon, Csv, ICalendar };

// The delimiter of a plain delimited format (TAB for the others).
QChar delimiterOf(ExchangeFormat format);
// "tsv", "semicolon", "csv", "ics": the names the command line uses.
QString formatName(ExchangeFormat format);
bool formatFromName(const QString& name, ExchangeFormat* format);
QStringList formatNames();
