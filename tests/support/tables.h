#pragma once

#include "core/daynumber.h"
#include "core/sortgrid.h"

#include <QDate>
#include <QList>
#include <QStringList>

#include <algorithm>

// A table of `columns` columns holding the rows given; a table always keeps at least one row.
inline TSortGrid gridOf(int columns, const QList<QStringList>& rows)
{
    TSortGrid grid(columns, std::max(1, int(rows.size())));
    for (int r = 0; r < rows.size(); ++r)
        grid.setRow(r, rows[r]);
    return grid;
}

// The due cell of a date plus a fraction of a day.
inline QString dueCell(const QDate& date, double fraction = 0.0)
{
    return dayNumberText(dayNumber(date) + fraction);
}
