#include "exchange/icalendar.h"

#include "core/atomicfile.h"
#include "core/daynumber.h"
#include "core/tablefiles.h"
#include "core/tasktable.h"
#include "tasks/recurrence.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QHash>
#include <QTimeZone>
#include <QUrl>

#include <libical/ical.h>

#include <cmath>
#include <memory>

namespace {

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

QByteArray utf8(QStringView text)
{
    return text.toUtf8();
}

QString fromIcal(const char* text)
{
    return text == nullptr ? QString() : QString::fromUtf8(text);
}

// libical hands out strings of its own that the caller frees.
QString takeIcalString(char* text)
{
    QString result = fromIcal(text);
    icalmemory_free_buffer(text);
    return result;
}

icaltimetype icalTime(const QDate& date, const QTime& time, bool isDate, const icaltimezone* zone)
{
    icaltimetype t = icaltime_null_time();
    t.year = date.year();
    t.month = date.month();
    t.day = date.day();
    if (isDate) {
        t.is_date = 1;
    } else {
        t.hour = time.hour();
        t.minute = time.minute();
        t.second = time.second();
    }
    t.zone = zone;
    return t;
}

icaltimetype icalTime(const QDateTime& when, bool isDate, const icaltimezone* zone)
{
    return icalTime(when.date(), when.time(), isDate, zone);
}

icaltimetype utcStamp(const QDateTime& now)
{
    return icalTime(now.toUTC(), false, icaltimezone_get_utc_timezone());
}

// Each converted time asks the system for its time zone rules (a file lookup): an export of
// thousands of entries stamps them all with one converted time.

// A stable UID: the same task exported twice keeps its UID, so calendars update rather than
// duplicate it. Equal rows are told apart by their count.
QByteArray uidFor(const QString& rowText, QHash<QString, int>& seen)
{
    const int occurrence = seen[rowText]++;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(rowText.toUtf8());
    hash.addData(QByteArray::number(occurrence));
    return hash.result().toHex().left(32) + "@tarnwick";
}

void addText(icalcomponent* c, icalproperty* (*make)(const char*), QStringView text)
{
    if (!text.isEmpty())
        icalcomponent_add_property(c, make(utf8(text).constData()));
}

int icalPriority(QStringView priorityCell)
{
    switch (priorityLevel(priorityCell)) {
    case PriorityLevel::High:
        return 1;
    case PriorityLevel::Medium:
        return 5;
    case PriorityLevel::Low:
        return 9;
    case PriorityLevel::Other:
        break;
    }
    return 0;
}

QString priorityFromIcal(int priority)
{
    const QStringList texts = priorityTexts(); // "", "3 - Low", "2 - Medium", "1 - High"
    const auto find = [&texts](QStringView start) {
        for (const QString& t : texts) {
            if (t.startsWith(start))
                return t;
        }
        return QString();
    };
    if (priority >= 1 && priority <= 4)
        return find(u"1");
    if (priority == 5)
        return find(u"2");
    if (priority >= 6 && priority <= 9)
        return find(u"3");
    return {};
}

void addAlarm(icalcomponent* todo, QStringView alarmCell, const QString& summary)
{
    if (!hasAlarm(alarmCell))
        return;
    icalcomponent* alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_from_int(int(-alarmLeadMinutes(alarmCell) * 60));
    icalproperty* p = icalproperty_new_trigger(trigger);
    // Relative to the due moment, the only moment a task of the program has.
    icalproperty_add_parameter(p, icalparameter_new_related(ICAL_RELATED_END));
    icalcomponent_add_property(alarm, p);
    icalcomponent_add_property(alarm, icalproperty_new_description(utf8(summary).constData()));
    icalcomponent_add_component(todo, alarm);
}

icalcomponent* todoOf(const TSortGrid& tasks, int r, const icaltimetype& stamp, QHash<QString, int>& seen)
{
    const auto row = tasks.rowCells(r);
    const auto cell = [&row](int c) { return c < row.size() ? row[c] : QStringView(); };
    icalcomponent* todo = icalcomponent_new_vtodo();
    icalcomponent_add_property(todo, icalproperty_new_uid(uidFor(tasks.rowText(r), seen).constData()));
    icalcomponent_add_property(todo, icalproperty_new_dtstamp(stamp));
    addText(todo, icalproperty_new_summary, cell(colTaskName));

    const double due = dueDayNumber(cell(colDue));
    if (due < NoDueDate) {
        // Date and clock time as they stand, without a local-time conversion: a floating time
        // needs none, and each conversion asks the system for its time zone rules.
        const QDate date = dateOfDayNumber(due);
        if (date.isValid()) {
            double whole = 0;
            // Floating local time: the task is due at that clock time wherever the user is.
            icalcomponent_add_property(todo, icalproperty_new_due(icalTime(date, timeOfDayNumber(due),
                                                                           std::modf(due, &whole) == 0.0, nullptr)));
        }
    }
    if (const int priority = icalPriority(cell(colPriority)); priority > 0)
        icalcomponent_add_property(todo, icalproperty_new_priority(priority));
    const int percent = std::clamp(percentComplete(cell(colComplete)), 0, 100);
    icalcomponent_add_property(todo, icalproperty_new_percentcomplete(percent));
    icalcomponent_add_property(todo, icalproperty_new_status(isCompleted(cell(colComplete)) ? ICAL_STATUS_COMPLETED
                                                             : percent > 0 ? ICAL_STATUS_INPROCESS
                                                                           : ICAL_STATUS_NEEDSACTION));
    addText(todo, icalproperty_new_categories, cell(colProject));
    if (!cell(colAssignee).isEmpty()) {
        icalproperty* p = icalproperty_new_x(utf8(cell(colAssignee)).constData());
        icalproperty_set_x_name(p, "X-TARNWICK-ASSIGNEE");
        icalcomponent_add_property(todo, p);
    }
    addText(todo, icalproperty_new_description, decodeNotesText(cell(colNotes)));
    if (!cell(colAttachment).isEmpty()) {
        const QByteArray url = QUrl::fromLocalFile(cell(colAttachment).toString()).toEncoded();
        icalattach* attach = icalattach_new_from_url(url.constData());
        icalcomponent_add_property(todo, icalproperty_new_attach(attach));
        icalattach_unref(attach);
    }
    if (const QString rule = recurrenceRuleText(recurrenceIndex(cell(colRecurrence))); !rule.isEmpty())
        icalcomponent_add_property(todo, icalproperty_new_rrule(icalrecurrencetype_from_string(rule.toLatin1())));
    if (due < NoDueDate)
        addAlarm(todo, cell(colAlarm), cell(colTaskName).toString());
    return todo;
}

ComponentPtr newCalendar()
{
    ComponentPtr calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Oskavel//Tarnwick PRO//EN"));
    return calendar;
}

QByteArray calendarBytes(icalcomponent* calendar)
{
    char* text = icalcomponent_as_ical_string_r(calendar);
    QByteArray bytes(text);
    icalmemory_free_buffer(text);
    return bytes;
}

// The RRULE as libical writes it back, so rules spelled differently compare equal.
QString canonicalRule(const QByteArray& rule)
{
    icalrecurrencetype recurrence = icalrecurrencetype_from_string(rule.constData());
    if (recurrence.freq == ICAL_NO_RECURRENCE)
        return {};
    return takeIcalString(icalrecurrencetype_as_string_r(&recurrence));
}

// A day number in local time from an iCalendar time: floating times are local already, times in
// UTC or in a zone are converted to the user's local time.
double dayNumberOfIcal(const icaltimetype& t)
{
    const QDate date(t.year, t.month, t.day);
    if (!date.isValid())
        return NoDueDate;
    if (t.is_date)
        return dayNumber(date);
    if (t.zone == nullptr)
        return dayNumber(QDateTime(date, QTime(t.hour, t.minute, t.second)));
    const time_t seconds = icaltime_as_timet_with_zone(t, t.zone);
    return dayNumber(QDateTime::fromSecsSinceEpoch(qint64(seconds)).toLocalTime());
}

// The alarm cell of a lead in minutes: the largest unit that holds it exactly within 99.
QString alarmCellOfLead(qint64 minutes)
{
    const struct {
        qint64 size;
        int unit;
    } units[] = {{7 * 24 * 60, alarmWeeks}, {24 * 60, alarmDays}, {60, alarmHours}, {1, alarmMinutes}};
    for (const auto& u : units) {
        if (minutes % u.size == 0 && minutes / u.size <= 99)
            return alarmCellText(int(minutes / u.size), u.unit);
    }
    return {};
}

QString singleLine(QString text)
{
    for (QChar& c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    }
    return text;
}

void readTodo(icalcomponent* todo, ICalendarTasks* result)
{
    QStringList cells(TaskColumnCount);
    const auto first = [todo](icalproperty_kind kind) { return icalcomponent_get_first_property(todo, kind); };
    if (icalproperty* p = first(ICAL_SUMMARY_PROPERTY))
        cells[colTaskName] = singleLine(fromIcal(icalproperty_get_summary(p)));
    const QString name = cells[colTaskName].isEmpty() ? QStringLiteral("(no summary)") : cells[colTaskName];
    const auto unmapped = [&](const QString& what) { result->unmapped.append(u'"' + name + u"\": " + what); };

    cells[colDue] = NoDueDateText.toString();
    if (first(ICAL_DUE_PROPERTY) != nullptr) {
        const icaltimetype due = icalcomponent_get_due(todo);
        const double day = icaltime_is_null_time(due) ? NoDueDate : dayNumberOfIcal(due);
        if (day < NoDueDate)
            cells[colDue] = dayNumberText(day);
        else
            unmapped(QStringLiteral("the due date could not be read"));
    }
    if (icalproperty* p = first(ICAL_PRIORITY_PROPERTY))
        cells[colPriority] = priorityFromIcal(icalproperty_get_priority(p));
    int percent = 0;
    if (icalproperty* p = first(ICAL_PERCENTCOMPLETE_PROPERTY))
        percent = std::clamp(icalproperty_get_percentcomplete(p), 0, 100);
    if (icalproperty* p = first(ICAL_STATUS_PROPERTY); p != nullptr && icalproperty_get_status(p) == ICAL_STATUS_COMPLETED)
        percent = 100;
    cells[colComplete] = QString::number(percent);
    if (icalproperty* p = first(ICAL_CATEGORIES_PROPERTY)) {
        cells[colProject] = singleLine(fromIcal(icalproperty_get_categories(p)));
        if (icalcomponent_get_next_property(todo, ICAL_CATEGORIES_PROPERTY) != nullptr)
            unmapped(QStringLiteral("only the first category became the project"));
    }
    for (icalproperty* p = first(ICAL_X_PROPERTY); p != nullptr;
         p = icalcomponent_get_next_property(todo, ICAL_X_PROPERTY)) {
        if (qstricmp(icalproperty_get_x_name(p), "X-TARNWICK-ASSIGNEE") == 0)
            cells[colAssignee] = singleLine(fromIcal(icalproperty_get_x(p)));
    }
    if (icalproperty* p = first(ICAL_DESCRIPTION_PROPERTY))
        cells[colNotes] = encodeNotesText(fromIcal(icalproperty_get_description(p)));
    if (icalproperty* p = first(ICAL_ATTACH_PROPERTY)) {
        icalattach* attach = icalproperty_get_attach(p);
        if (attach != nullptr && icalattach_get_is_url(attach)) {
            const QUrl url = QUrl::fromEncoded(QByteArray(icalattach_get_url(attach)));
            cells[colAttachment] = singleLine(url.isLocalFile() ? url.toLocalFile() : url.toString());
        } else {
            unmapped(QStringLiteral("an attachment held inside the file was left out"));
        }
    }
    cells[colRecurrence] = QString::number(recOnce);
    if (icalproperty* p = first(ICAL_RRULE_PROPERTY)) {
        icalrecurrencetype rule = icalproperty_get_rrule(p);
        const QString text = takeIcalString(icalrecurrencetype_as_string_r(&rule));
        const int recurrence = recurrenceOfRule(text);
        if (recurrence > 0)
            cells[colRecurrence] = QString::number(recurrence);
        else
            unmapped(QStringLiteral("the repeat rule %1 has no match and the task was imported as once").arg(text));
    }
    if (icalcomponent* alarm = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT)) {
        icalproperty* p = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        const icaltriggertype trigger = p != nullptr ? icalproperty_get_trigger(p) : icaltriggertype{};
        const int seconds = p != nullptr && icaltime_is_null_time(trigger.time)
                                ? icaldurationtype_as_int(trigger.duration) : 1;
        QString cell;
        if (seconds <= 0 && seconds % 60 == 0 && cells[colDue] != NoDueDateText)
            cell = alarmCellOfLead(-seconds / 60);
        if (!cell.isEmpty() || seconds == 0)
            cells[colAlarm] = cell.isEmpty() ? alarmCellText(0, alarmMinutes) : cell;
        else
            unmapped(QStringLiteral("the alarm could not be expressed as a lead before the due time"));
    }
    result->rows.append(cells);
}

void collectTodos(icalcomponent* component, ICalendarTasks* result, int* others)
{
    const icalcomponent_kind kind = icalcomponent_isa(component);
    if (kind == ICAL_VTODO_COMPONENT) {
        readTodo(component, result);
        return;
    }
    if (kind == ICAL_VEVENT_COMPONENT || kind == ICAL_VJOURNAL_COMPONENT) {
        ++*others;
        return;
    }
    for (icalcomponent* c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); c != nullptr;
         c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        collectTodos(c, result, others);
}

} // namespace

QString recurrenceRuleText(int recurrence)
{
    switch (recurrence) {
    case recDaily:
        return QStringLiteral("FREQ=DAILY");
    case recWeekDay:
        return QStringLiteral("FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR");
    case recWeekEnd:
        return QStringLiteral("FREQ=DAILY;BYDAY=SA,SU");
    case recWeekly:
        return QStringLiteral("FREQ=WEEKLY");
    case recFortnightly:
        return QStringLiteral("FREQ=WEEKLY;INTERVAL=2");
    case recMonthly:
        return QStringLiteral("FREQ=MONTHLY");
    case recQuarterly:
        return QStringLiteral("FREQ=MONTHLY;INTERVAL=3");
    case recHalfYearly:
        return QStringLiteral("FREQ=MONTHLY;INTERVAL=6");
    case recYearly:
        return QStringLiteral("FREQ=YEARLY");
    case recBiMonthly:
        return QStringLiteral("FREQ=MONTHLY;INTERVAL=2");
    default:
        return {};
    }
}

int recurrenceOfRule(const QString& rule)
{
    const QString wanted = canonicalRule(rule.toLatin1());
    if (wanted.isEmpty())
        return -1;
    for (int r = recDaily; r < RecurrenceCount; ++r) {
        if (canonicalRule(recurrenceRuleText(r).toLatin1()) == wanted)
            return r;
    }
    return -1;
}

QByteArray icalendarTasksBytes(const TSortGrid& tasks, const QDateTime& now)
{
    ComponentPtr calendar = newCalendar();
    QHash<QString, int> seen;
    const icaltimetype stamp = utcStamp(now);
    for (int r = 0; r < tasks.rowCount(); ++r) {
        if (!isBlankTaskRow(tasks.rowText(r)))
            icalcomponent_add_component(calendar.get(), todoOf(tasks, r, stamp, seen));
    }
    return calendarBytes(calendar.get());
}

QByteArray icalendarDiaryBytes(const TSortGrid& diary, const QDateTime& now)
{
    ComponentPtr calendar = newCalendar();
    QHash<QString, int> seen;
    const icaltimetype stamp = utcStamp(now);
    for (int r = 0; r < diary.rowCount(); ++r) {
        const auto row = diary.rowCells(r);
        const auto cell = [&row](int c) { return c < row.size() ? row[c] : QStringView(); };
        const QDate date(cell(diaryYear).toInt(), cell(diaryMonth).toInt(), cell(diaryDay).toInt());
        if (!date.isValid() || cell(diaryText).isEmpty())
            continue;
        icalcomponent* journal = icalcomponent_new_vjournal();
        icalcomponent_add_property(journal, icalproperty_new_uid(uidFor(diary.rowText(r), seen).constData()));
        icalcomponent_add_property(journal, icalproperty_new_dtstamp(stamp));
        icalcomponent_add_property(journal, icalproperty_new_dtstart(icalTime(QDateTime(date, QTime()), true, nullptr)));
        addText(journal, icalproperty_new_description, decodeNotesText(cell(diaryText)));
        icalcomponent_add_component(calendar.get(), journal);
    }
    return calendarBytes(calendar.get());
}

bool parseICalendarTasks(const QByteArray& bytes, ICalendarTasks* result)
{
    *result = {};
    if (bytes.contains('\0'))
        return false; // libical reads a C string: what lies behind a NUL would be lost unseen
    ComponentPtr root(icalparser_parse_string(bytes.constData()));
    if (!root)
        return false;
    int others = 0;
    collectTodos(root.get(), result, &others);
    if (others > 0)
        result->unmapped.append(QStringLiteral("%1 event(s) or journal entries are no tasks and were left out").arg(others));
    return true;
}

QString readICalendarFile(const QString& path, ICalendarTasks* result)
{
    QByteArray bytes;
    if (QString error = readFileBytes(path, &bytes); !error.isEmpty())
        return error;
    if (!parseICalendarTasks(bytes, result))
        return QStringLiteral("%1: this is no iCalendar file").arg(path);
    return {};
}
