#include "exchange/exchangeformat.h"

QChar delimiterOf(ExchangeFormat format)
{
    switch (format) {
    case ExchangeFormat::Semicolon:
        return QLatin1Char(';');
    case ExchangeFormat::Csv:
        return QLatin1Char(',');
    case ExchangeFormat::Tab:
    case ExchangeFormat::ICalendar:
        break;
    }
    return QLatin1Char('\t');
}

QStringList formatNames()
{
    return {QStringLiteral("tsv"), QStringLiteral("semicolon"), QStringLiteral("csv"), QStringLiteral("ics")};
}

QString formatName(ExchangeFormat format)
{
    return formatNames().at(int(format));
}

bool formatFromName(const QString& name, ExchangeFormat* format)
{
    const qsizetype at = formatNames().indexOf(name.toLower());
    if (at < 0)
        return false;
    *format = ExchangeFormat(at);
    return true;
}
