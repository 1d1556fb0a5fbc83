#include "app/toolbarlayout.h"

#include "core/atomicfile.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/textcodec.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

QString ToolbarEntry::hint() const
{
    return statusText == tooltip ? tooltip : tooltip + u'|' + statusText;
}

QString toolbarSeparatorKey()
{
    return u"[Separator]"_s;
}

const std::array<ToolbarEntry, ToolbarEntryCount>& toolbarTable()
{
    static const std::array<ToolbarEntry, ToolbarEntryCount> table = [] {
        const auto space = [](int n, bool shown = false) {
            return ToolbarEntry{u"Space"_s + QString::number(n), toolbarSeparatorKey(), {}, {}, {}, shown, -1};
        };
        const auto same = [](const QString& text) { return text; };
        std::array<ToolbarEntry, ToolbarEntryCount> t = {{
            {u"btnSave"_s, u"File-Save data"_s, u"Save data"_s, u"Save program data files"_s, u"Save"_s, false, 0,
             u"Savedata1"_s},
            {u"btnLoad"_s, u"File-Load data"_s, u"Load data"_s, u"Load program data files"_s, u"Load"_s, false, 1,
             u"Loaddata1"_s},
            {u"btnCleanUp"_s, u"File-Purge tasks to log"_s, u"Purge tasks to log"_s, u"Remove unnecessary tasks"_s,
             u"Purge"_s, true, 2, u"Cleanup1"_s},
            {u"btnTaskLog"_s, u"File-Task log"_s, u"View task log"_s, u"View task log - removed tasks"_s, u"Task Log"_s,
             true, 3, u"Viewtasklog1"_s},
            space(1),
            {u"btnExport"_s, u"File-Export tasks"_s, u"Export data"_s, u"Export data to common formats"_s, u"Export"_s,
             false, 4, u"Saveas1"_s},
            {u"btnPrint"_s, u"File-Print"_s, u"Print"_s, u"Print reports - reports gallery"_s, u"Print"_s, true, 5,
             u"Print1"_s},
            space(2),
            {u"btnMinimize"_s, u"File-Minimize"_s, u"Minimize to the system tray"_s,
             same(u"Minimize to the system tray"_s), u"Hide"_s, false, 6, u"miMinimize"_s},
            {u"btnExit"_s, u"File-Exit"_s, u"Exit program"_s, same(u"Exit program"_s), u"Exit"_s, false, 7,
             u"miExit"_s},
            space(3, true),
            {u"btnAdd"_s, u"Task-Add"_s, u"Add a new task"_s, same(u"Add a new task"_s), u"Add"_s, true, 8,
             u"Addtask1"_s},
            {u"btnRemove"_s, u"Task-Delete"_s, u"Delete task"_s, u"Delete selected task"_s, u"Delete"_s, true, 9,
             u"Removetask1"_s},
            {u"btnEdit"_s, u"Task-Edit"_s, u"Edit task"_s, u"Edit selected task"_s, u"Edit"_s, true, 10,
             u"Edittask1"_s},
            {u"btnCheck"_s, u"Task-Check/unCheck"_s, u"Check/unCheck task"_s, u"Check/UnCheck selected task"_s,
             u"Check"_s, false, 11, u"miComplete1"_s},
            space(4, true),
            {u"btnFilter"_s, u"View-Filter"_s, u"Filter"_s, u"Filter tasks"_s, u"Filter"_s, true, 26, u"miFilter"_s},
            {u"btnAll"_s, u"View-Show all tasks"_s, u"All tasks"_s, u"Show all tasks"_s, u"Show All"_s, true, 12,
             u"Showalltasks1"_s},
            {u"btnShowChecked"_s, u"View-Show completed"_s, u"Hide completed"_s, u"Hide completed tasks"_s,
             u"Checked"_s, true, 17, u"miShowChecked"_s},
            {u"btnSort"_s, u"View-3-level sort"_s, u"Perform 3-level sort"_s, same(u"Perform 3-level sort"_s),
             u"Sort"_s, false, 14, u"miPerformSort"_s},
            {u"btnSortSetup"_s, u"View-Sort setup"_s, u"3-level sort setup"_s, same(u"3-level sort setup"_s),
             u"SortSetup"_s, true, 15, u"miSort"_s},
            {u"btnFind"_s, u"View-Find"_s, u"Find"_s, u"Find information"_s, u"Find"_s, false, 16, u"Find1"_s},
            space(5, true),
            {u"btnAutosize"_s, u"View-Autosize columns"_s, u"Autosize columns"_s, same(u"Autosize columns"_s),
             u"Autosize"_s, false, 18, u"Autosizecolumns1"_s},
            {u"btnSpecial"_s, u"Calendar-Special days list"_s, u"Special days"_s, u"Configure special days list"_s,
             u"Holidays"_s, true, 13, u"Specialdays1"_s},
            {u"btnPreferences"_s, u"File-Options"_s, u"Options"_s, u"Program preferences"_s, u"Options"_s, true, 19,
             u"Preferences1"_s},
            space(6),
            {u"btnHelp"_s, u"Help-Contents"_s, u"Help"_s, u"Help topics"_s, u"Help"_s, false, 20, u"Helptopics1"_s},
            {u"btnHomePage"_s, u"Help-Home page"_s, u"Home Page"_s, u"Visit Tarnwick Home Page"_s, u"Home"_s, false, 21,
             u"Homepage1"_s},
            {u"btnAbout"_s, u"Help-About"_s, u"About"_s, u"Program information"_s, u"About"_s, false, 22, u"About1"_s},
            space(7),
            space(8),
            space(9),
            space(10),
            space(11),
            space(12),
            space(13),
            space(14),
        }};
        return t;
    }();
    return table;
}

const ToolbarEntry* toolbarEntryForKey(const QString& keyText)
{
    for (const ToolbarEntry& entry : toolbarTable()) {
        if (entry.keyText == keyText)
            return &entry;
    }
    return nullptr;
}

ToolbarButtonList defaultToolbarList()
{
    ToolbarButtonList list;
    for (const ToolbarEntry& entry : toolbarTable()) {
        list.keys.append(entry.keyText);
        list.shown.append(entry.shownByDefault);
    }
    return list;
}

QString toolbarFilePath(const QString& programFolder)
{
    return programFolder + u"/toolbar.ini"_s;
}

namespace {

QStringList readToolbarKeys(const QString& path)
{
    QByteArray bytes;
    if (!QFileInfo(path).isFile() || !readFileBytes(path, &bytes).isEmpty())
        return {};
    QStringList lines = decodeText(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    if (lines.size() < ToolbarEntryCount)
        return {};
    return lines.first(ToolbarEntryCount);
}

QByteArray toolbarFileBytes(const QStringList& keys)
{
    QByteArray bytes;
    for (const QString& key : keys) {
        appendUtf8(bytes, key);
        bytes.append("\r\n");
    }
    return bytes;
}

// The table's n-th separator row (from 0), nullptr past the last.
const ToolbarEntry* nthSeparator(int n)
{
    for (const ToolbarEntry& entry : toolbarTable()) {
        if (entry.isSeparator() && n-- == 0)
            return &entry;
    }
    return nullptr;
}

} // namespace

ToolbarButtonList loadToolbarList(const QString& programFolder, const SettingsStore& settings)
{
    ToolbarButtonList list;
    list.keys = readToolbarKeys(toolbarFilePath(programFolder));
    if (list.keys.isEmpty())
        list = defaultToolbarList();
    list.shown.resize(ToolbarEntryCount);
    int separators = 0;
    for (int i = 0; i < ToolbarEntryCount; ++i) {
        // The default belongs to the button at this position, so a reordered file keeps each
        // button's own default when the flags are missing; separators take theirs in turn.
        const ToolbarEntry* entry =
            list.keys[i] == toolbarSeparatorKey() ? nthSeparator(separators++) : toolbarEntryForKey(list.keys[i]);
        const bool byDefault = entry != nullptr && entry->shownByDefault;
        list.shown[i] = settings.readBool(Settings::ToolbarButtons, QString::number(i), byDefault);
    }
    return list;
}

QString saveToolbarList(const QString& programFolder, const ToolbarButtonList& list, SettingsStore& settings)
{
    Q_ASSERT(list.keys.size() == ToolbarEntryCount && list.shown.size() == ToolbarEntryCount);
    const QString path = toolbarFilePath(programFolder);
    const QByteArray bytes = toolbarFileBytes(list.keys);
    QString error;
    QByteArray old;
    if (!QFileInfo(path).isFile() || !readFileBytes(path, &old).isEmpty() || old != bytes) {
        makePrivateFolder(programFolder);
        error = writeFileAtomically(path, bytes);
    }
    settings.beginUpdate();
    for (int i = 0; i < ToolbarEntryCount; ++i)
        settings.writeBool(Settings::ToolbarButtons, QString::number(i), list.shown[i]);
    if (!settings.endUpdate() && error.isEmpty())
        error = settings.lastError();
    return error;
}
