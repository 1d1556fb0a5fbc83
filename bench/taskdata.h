#pragma once

#include "core/daynumber.h"
#include "core/sortgrid.h"
#include "core/tasktable.h"

#include <QDate>
#include <QRandomGenerator>

// A task table of `count` realistic rows, the same for every run (fixed seed).
inline TSortGrid makeTaskTable(int count)
{
    static const QStringList projects = {QString(), QStringLiteral("Home"), QStringLiteral("Work"),
                                         QStringLiteral("Garden"), QStringLiteral("Tax return 2026"),
                                         QStringLiteral("Website relaunch")};
    static const QStringList people = {QString(), QStringLiteral("Ann"), QStringLiteral("Bob"),
                                       QStringLiteral("Carla Jiménez"), QStringLiteral("Dev team")};
    static const QStringList words = {QStringLiteral("Call"),    QStringLiteral("Write"),   QStringLiteral("Review"),
                                      QStringLiteral("invoice"), QStringLiteral("meeting"), QStringLiteral("report"),
                                      QStringLiteral("plan"),    QStringLiteral("supplier"), QStringLiteral("draft")};
    QRandomGenerator random(20261206);
    TSortGrid grid(TaskColumnCount, count);
    const QStringList priorities = priorityTexts();
    for (int r = 0; r < count; ++r) {
        QStringList row;
        row.resize(TaskColumnCount);
        row[colComplete] = QString::number(random.bounded(5) == 0 ? 100 : random.bounded(10) * 10);
        row[colTaskName] = words[random.bounded(words.size())] + u' ' + words[random.bounded(words.size())] + u' ' +
                           QString::number(r);
        row[colDue] = random.bounded(6) == 0
                          ? NoDueDateText.toString()
                          : dayNumberText(dayNumber(QDate(2026, 1, 1)) + random.bounded(730) + random.bounded(96) / 96.0);
        row[colProject] = projects[random.bounded(projects.size())];
        row[colPriority] = priorities[random.bounded(priorities.size())];
        if (random.bounded(3) == 0)
            row[colNotes] = EncodeNotes({QStringLiteral("Ask about the second quote."), QString(),
                                         QStringLiteral("Bring the signed copy.")});
        if (random.bounded(10) == 0)
            row[colAttachment] = QStringLiteral("/home/user/Documents/offer-%1.pdf").arg(r);
        row[colAssignee] = people[random.bounded(people.size())];
        if (random.bounded(4) == 0)
            row[colAlarm] = alarmCellText(random.bounded(100), random.bounded(4));
        row[colRecurrence] = QString::number(random.bounded(8) == 0 ? random.bounded(11) : 0);
        grid.setRow(r, row);
    }
    return grid;
}
