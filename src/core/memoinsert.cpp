#include "core/memoinsert.h"

#include "core/clock.h"

QString memoInsertionText(MemoInsertion kind, const QDateTime& now, const FormatSettings& settings)
{
    switch (kind) {
    case MemoInsertion::Date:
        return shortDateText(now.date(), settings);
    case MemoInsertion::Time:
        return longTimeText(now.time(), settings);
    case MemoInsertion::DateTime:
        if (now.time().msecsSinceStartOfDay() == 0)
            return shortDateText(now.date(), settings);
        return shortDateText(now.date(), settings) + QLatin1Char(' ') + longTimeText(now.time(), settings);
    }
    return {};
}

QString memoInsertionText(MemoInsertion kind)
{
    return memoInsertionText(kind, Clock::current().now(), FormatSettings::current());
}
