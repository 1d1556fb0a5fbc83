#pragma once

#include "core/sortgrid.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// One row of the special-days table, its numbers read once. A row whose kind is neither "M" nor
// "W", or whose numbers do not read, never matches.
struct SpecialRule {
    enum Kind { Invalid, DayOfMonth, DayOfWeek };
    Kind kind = Invalid;
    int month = 0;
    int day = 0;     // DayOfMonth: 1..31
    int week = 0;    // DayOfWeek: 1..4, 5 or more is the last week
    int weekday = 0; // DayOfWeek: 1 = Sunday ... 7 = Saturday
    QString name;

    static SpecialRule fromRow(const TSortGrid& special, int row);
    bool matches(const QDate& date) const;
};

// The rules of a table, in table order.
QList<SpecialRule> specialRules(const TSortGrid& special);

// Clears the list, appends the description of every rule falling on the date (table order) and
// returns whether any did.
bool SpecialDaysFor(const TSortGrid& special, const QDate& date, QStringList& list);
bool SpecialDaysFor(const QList<SpecialRule>& rules, const QDate& date, QStringList& list);
