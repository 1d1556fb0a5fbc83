#pragma once

#include "core/formatsettings.h"

#include <QDateTime>
#include <QString>

// The texts the memo commands insert at the caret of a notes or diary memo.
enum class MemoInsertion { Date, Time, DateTime };

// Short date; long time; short date, a blank and long time, the time left out at exactly midnight.
QString memoInsertionText(MemoInsertion kind, const QDateTime& now, const FormatSettings& settings);
// The same for Clock::current()'s now and the format settings in force.
QString memoInsertionText(MemoInsertion kind);
