#include "calendar/specialdayseditor.h"

#include "core/tablefiles.h"

#include <algorithm>

namespace {

bool lessByDescription(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// Shown when a rule would be stored without a description: such a row is dropped at the next
// save, so storing it would silently lose the rule (and, on Change, the one it replaced).
constexpr int MissingDescriptionString = 495;

} // namespace

SpecialDaysEditor::SpecialDaysEditor(TSortGrid& special, Saver save) : m_special(special), m_save(std::move(save))
{
    if (m_special.colCount() < SpecialColumnCount)
        m_special.setColCount(SpecialColumnCount);
    fillItems();
    select(m_items.isEmpty() ? -1 : 0);
}

void SpecialDaysEditor::fillItems()
{
    m_items.clear();
    for (int row = 0; row < m_special.rowCount(); ++row) {
        const QStringView name = m_special.cell(row, specName);
        if (!name.isEmpty())
            m_items.append(name.toString());
    }
    std::stable_sort(m_items.begin(), m_items.end(), lessByDescription);
}

void SpecialDaysEditor::select(int index)
{
    m_selected = index >= 0 && index < m_items.size() ? index : -1;
    loadSelected();
}

void SpecialDaysEditor::loadSelected()
{
    const int row = m_selected >= 0 ? rowOfDescription(m_items.at(m_selected)) : -1;
    if (row >= 0) {
        m_description = m_special.cellText(row, specName);
        const auto number = [&](int col) { return m_special.cell(row, col).toString().toInt(); };
        m_state.month = std::clamp(number(specMonth), 1, 12);
        if (m_special.cell(row, specKind) == u"W") {
            m_state.weekRule = true;
            m_state.weekIndex = std::clamp(number(specWeek) - 1, 0, 4);
            m_state.weekdayIndex = std::clamp(number(specWeekday) - 1, 0, 6);
        } else {
            m_state.weekRule = false;
            m_state.day = std::clamp(number(specDay), 1, 31);
        }
    }
    remember();
}

void SpecialDaysEditor::remember()
{
    m_remembered = m_state;
    m_rememberedDescription = m_description;
    m_addEnabled = false;
    m_changeEnabled = false;
}

void SpecialDaysEditor::edited()
{
    if (isModified())
        m_changeEnabled = true;
}

void SpecialDaysEditor::setWeekRule(bool weekRule)
{
    m_state.weekRule = weekRule;
    edited();
}

void SpecialDaysEditor::setMonth(int month)
{
    m_state.month = std::clamp(month, 1, 12);
    edited();
}

void SpecialDaysEditor::setDay(int day)
{
    m_state.day = std::clamp(day, 1, 31);
    edited();
}

void SpecialDaysEditor::setWeekIndex(int index)
{
    m_state.weekIndex = std::clamp(index, 0, 4);
    edited();
}

void SpecialDaysEditor::setWeekdayIndex(int index)
{
    m_state.weekdayIndex = std::clamp(index, 0, 6);
    edited();
}

void SpecialDaysEditor::setDescription(const QString& text)
{
    // A cell cannot hold these; the table file would split the row.
    m_description = text;
    for (QChar& c : m_description) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    edited();
    if (m_description.isEmpty()) {
        m_addEnabled = false;
    } else {
        m_addEnabled = true;
        m_changeEnabled = true;
    }
}

void SpecialDaysEditor::New(const QDate& today)
{
    m_description.clear();
    m_state.weekRule = false;
    m_selected = -1;
    m_state.month = today.month();
    m_state.day = today.day();
    remember();
}

int SpecialDaysEditor::rowOfDescription(const QString& description) const
{
    for (int row = 0; row < m_special.rowCount(); ++row) {
        if (m_special.cell(row, specName) == description)
            return row;
    }
    return -1;
}

void SpecialDaysEditor::insertEditorRule()
{
    m_special.InsertRow(0);
    QStringList cells{m_description, QString(), QString::number(m_state.month), QString(), QString(), QString()};
    if (m_state.weekRule) {
        cells[specKind] = QStringLiteral("W");
        cells[specWeek] = QString::number(m_state.weekIndex + 1);
        cells[specWeekday] = QString::number(m_state.weekdayIndex + 1);
    } else {
        cells[specKind] = QStringLiteral("M");
        cells[specDay] = QString::number(m_state.day);
    }
    m_special.setRow(0, cells);
}

void SpecialDaysEditor::sortTable()
{
    QList<QString>& rows = m_special.rows();
    std::stable_sort(rows.begin(), rows.end(), [](const QString& a, const QString& b) {
        return QStringView(TSortGrid::cellOf(a, specName))
                   .compare(TSortGrid::cellOf(b, specName), Qt::CaseInsensitive) < 0;
    });
}

void SpecialDaysEditor::removeEmptyRows()
{
    for (int row = 0; row < m_special.rowCount() && m_special.rowCount() > 1;) {
        if (m_special.cell(row, specName).isEmpty())
            m_special.DeleteRow(row);
        else
            ++row;
    }
}

SpecialDaysEditor::Result SpecialDaysEditor::addRule(bool checkDuplicate)
{
    Result result;
    if (checkDuplicate && m_items.contains(m_description)) {
        result.status = Result::Refused;
        result.warning = true;
        result.strings = {493};
        return result;
    }
    m_items.insert(std::upper_bound(m_items.begin(), m_items.end(), m_description, lessByDescription), m_description);
    insertEditorRule();
    sortTable();
    removeEmptyRows();
    if (m_save)
        result.fileError = m_save();
    remember();
    select(m_items.isEmpty() ? -1 : 0);
    return result;
}

SpecialDaysEditor::Result SpecialDaysEditor::Add()
{
    if (m_description.isEmpty())
        return {Result::Refused, true, {MissingDescriptionString}, {}};
    return addRule(true);
}

SpecialDaysEditor::Result SpecialDaysEditor::checkChange() const
{
    if (m_selected < 0 || m_items.isEmpty())
        return {Result::Refused, false, {496}, {}};
    if (m_description.isEmpty())
        return {Result::Refused, true, {MissingDescriptionString}, {}};
    if (m_description != m_items.at(m_selected) && m_items.contains(m_description))
        return {Result::Refused, true, {493}, {}};
    return {};
}

SpecialDaysEditor::Result SpecialDaysEditor::Change()
{
    if (Result refused = checkChange(); refused.status == Result::Refused)
        return refused;
    const int row = rowOfDescription(m_items.at(m_selected));
    if (row >= 0)
        m_special.DeleteRow(row);
    m_items.removeAt(m_selected);
    m_selected = -1;
    return addRule(false);
}

SpecialDaysEditor::Result SpecialDaysEditor::checkDelete() const
{
    if (m_selected < 0 || m_items.isEmpty())
        return {Result::Refused, false, {500, 501}, {}};
    return {};
}

SpecialDaysEditor::Result SpecialDaysEditor::Delete()
{
    if (Result refused = checkDelete(); refused.status == Result::Refused)
        return refused;
    const int row = rowOfDescription(m_items.at(m_selected));
    if (row >= 0)
        m_special.DeleteRow(row);
    m_items.removeAt(m_selected);
    select(std::min(m_selected, int(m_items.size()) - 1));
    return {};
}

QString SpecialDaysEditor::Close()
{
    removeEmptyRows();
    return m_save ? m_save() : QString();
}
