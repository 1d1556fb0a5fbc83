#pragma once

#include <QLatin1String>

// The names of the sections and values of the settings store, in one place so that a reader and
// a writer of the same value cannot drift apart. Defaults stay where each value is read.
// A name used both as a section and as a value (Calendar, Size) or in several sections (Date,
// Left, Top, Name, ...) has one constant: the store only compares the text.
// Numbered values (VisibleColumns "2" to "6", Columns "1" upward, ToolbarButtons "0" to "37")
// are built with QString::number at the call site.
namespace Settings {

// Sections.
inline constexpr QLatin1String Startup{"Startup"};
inline constexpr QLatin1String Other{"Other"};
inline constexpr QLatin1String Defaults{"Defaults"};
inline constexpr QLatin1String Editing{"Editing"};
inline constexpr QLatin1String Confirmations{"Confirmations"};
inline constexpr QLatin1String Size{"Size"}; // also a value of Font and PrintFont
inline constexpr QLatin1String Position{"Position"};
inline constexpr QLatin1String Sorting{"Sorting"};
inline constexpr QLatin1String AdvSort{"AdvSort"};
inline constexpr QLatin1String Filter{"Filter"};
inline constexpr QLatin1String FilterProject{"Filter\\Project"};
inline constexpr QLatin1String FilterAssignee{"Filter\\Assignee"};
inline constexpr QLatin1String VisibleColumns{"VisibleColumns"};
inline constexpr QLatin1String ColumnsOrder{"ColumnsOrder"};
inline constexpr QLatin1String Columns{"Columns"};
inline constexpr QLatin1String Display{"Display"};
inline constexpr QLatin1String Font{"Font"};
inline constexpr QLatin1String Colors{"Colors"};
inline constexpr QLatin1String Calendar{"Calendar"}; // also a value of Other
inline constexpr QLatin1String Alarms{"Alarms"};
inline constexpr QLatin1String Icon{"Icon"};
inline constexpr QLatin1String Toolbar{"Toolbar"};
inline constexpr QLatin1String ToolbarButtons{"ToolbarButtons"};
inline constexpr QLatin1String PrintFont{"PrintFont"};
inline constexpr QLatin1String PrintMargins{"PrintMargins"};
inline constexpr QLatin1String PrintProperties{"PrintProperties"};
inline constexpr QLatin1String Print{"Print"};

// Window placement: one section per window below Forms.
namespace Forms {
inline constexpr QLatin1String Root{"Forms"};
inline constexpr QLatin1String Position{"Forms\\Position"}; // the main window
inline constexpr QLatin1String TaskForm{"Forms\\TaskForm"};
inline constexpr QLatin1String AlarmForm{"Forms\\AlarmForm"};
inline constexpr QLatin1String CleanUpForm{"Forms\\CleanUpForm"};
inline constexpr QLatin1String DatasetPropertiesForm{"Forms\\DatasetPropertiesForm"};
inline constexpr QLatin1String ErrorForm{"Forms\\ErrorForm"};
inline constexpr QLatin1String ExportForm{"Forms\\ExportForm"};
inline constexpr QLatin1String Filter{"Forms\\Filter"};
inline constexpr QLatin1String FindForm{"Forms\\FindForm"};
inline constexpr QLatin1String LogForm{"Forms\\LogForm"};
inline constexpr QLatin1String ManagerForm{"Forms\\ManagerForm"};
inline constexpr QLatin1String PasswordForm{"Forms\\PasswordForm"};
inline constexpr QLatin1String PreferencesForm{"Forms\\PreferencesForm"};
inline constexpr QLatin1String PreviewForm{"Forms\\PreviewForm"};
inline constexpr QLatin1String PrintForm{"Forms\\PrintForm"};
inline constexpr QLatin1String SortForm{"Forms\\SortForm"};
inline constexpr QLatin1String SpecialForm{"Forms\\SpecialForm"};
inline constexpr QLatin1String StartupForm{"Forms\\StartupForm"};
} // namespace Forms

// Values of a placement section.
inline constexpr QLatin1String Flags{"Flags"};
inline constexpr QLatin1String ShowCmd{"ShowCmd"};
inline constexpr QLatin1String MinMaxPos{"MinMaxPos"};
inline constexpr QLatin1String NormPos{"NormPos"};
inline constexpr QLatin1String PixelsPerInch{"PixelsPerInch"};

// Startup
inline constexpr QLatin1String Dataset{"Dataset"};
inline constexpr QLatin1String SourcePath{"SourcePath"};
inline constexpr QLatin1String BackupPath{"BackupPath"};
inline constexpr QLatin1String ExportPath{"ExportPath"};
inline constexpr QLatin1String Language{"Language"};
inline constexpr QLatin1String Date{"Date"}; // also Filter/Date
inline constexpr QLatin1String RememberCalendarDate{"RememberCalendarDate"};
inline constexpr QLatin1String RunMinimized{"RunMinimized"};
inline constexpr QLatin1String RunWithWindows{"RunWithWindows"};
inline constexpr QLatin1String AutoLogCompleted{"AutoLogCompleted"};
inline constexpr QLatin1String ShowChecked{"ShowChecked"};

// Other
inline constexpr QLatin1String MoreInfo{"MoreInfo"};
inline constexpr QLatin1String Item0{"Item0"};
inline constexpr QLatin1String EveryInfo{"EveryInfo"};
inline constexpr QLatin1String DefaultPriority{"DefaultPriority"};
inline constexpr QLatin1String Overdue{"Overdue"};
inline constexpr QLatin1String NotesMarks{"NotesMarks"};
inline constexpr QLatin1String Autosize{"Autosize"};
inline constexpr QLatin1String DisplaySortMarks{"DisplaySortMarks"};

// Defaults
inline constexpr QLatin1String DueDate{"Due date"};
inline constexpr QLatin1String DueDatePlus{"Due date plus"};
inline constexpr QLatin1String NoDefProject{"NoDefProject"};
inline constexpr QLatin1String Project{"Project"};
inline constexpr QLatin1String NoDefAssignee{"NoDefAssignee"};
inline constexpr QLatin1String Assignee{"Assignee"};

// Editing
inline constexpr QLatin1String MoveToTop{"MoveToTop"};

// Confirmations
inline constexpr QLatin1String Exit{"Exit"};
inline constexpr QLatin1String TaskDeletion{"TaskDeletion"};
inline constexpr QLatin1String TaskCompletion{"TaskCompletion"};
inline constexpr QLatin1String DataCleanup{"DataCleanup"};
inline constexpr QLatin1String SpecialDeletion{"SpecialDeletion"};
inline constexpr QLatin1String SpecialChange{"SpecialChange"};

// Size
inline constexpr QLatin1String Width{"Width"};
inline constexpr QLatin1String Height{"Height"}; // also Font/Height, PrintFont/Height
inline constexpr QLatin1String MemoHeight{"MemoHeight"};
inline constexpr QLatin1String VSplit{"vSplit"};
inline constexpr QLatin1String MemoVisible{"MemoVisible"};
inline constexpr QLatin1String CalendarVisible{"CalendarVisible"};

// Position (Left and Top also of PrintMargins)
inline constexpr QLatin1String StayOnTop{"StayOnTop"};
inline constexpr QLatin1String Left{"Left"};
inline constexpr QLatin1String Top{"Top"};

// Sorting
inline constexpr QLatin1String Column{"Column"};
inline constexpr QLatin1String Direction{"Direction"};

// AdvSort
inline constexpr QLatin1String PrimKey{"PrimKey"};
inline constexpr QLatin1String SecKey{"SecKey"};
inline constexpr QLatin1String TerKey{"TerKey"};
inline constexpr QLatin1String PrimDir{"PrimDir"};
inline constexpr QLatin1String SecDir{"SecDir"};
inline constexpr QLatin1String TerDir{"TerDir"};
inline constexpr QLatin1String AdvancedSort{"AdvancedSort"};

// Display
inline constexpr QLatin1String VerticalLines{"VerticalLines"};
inline constexpr QLatin1String HorizLines{"HorizLines"};

// Font and PrintFont
inline constexpr QLatin1String Name{"Name"};
inline constexpr QLatin1String Bold{"Bold"};
inline constexpr QLatin1String Italic{"Italic"};

// Colors
inline constexpr QLatin1String Low{"Low"};
inline constexpr QLatin1String Medium{"Medium"};
inline constexpr QLatin1String High{"High"};
inline constexpr QLatin1String Advanced{"Advanced"};
inline constexpr QLatin1String No{"No"};
inline constexpr QLatin1String Cursor{"Cursor"};
inline constexpr QLatin1String DefaultCursor{"DefaultCursor"};

// Calendar
inline constexpr QLatin1String WeekStart{"WeekStart"};
inline constexpr QLatin1String Click{"Click"};

// Alarms
inline constexpr QLatin1String Enabled{"Enabled"};
inline constexpr QLatin1String Repeat{"Repeat"};
inline constexpr QLatin1String SoundFile{"SoundFile"};

// Icon
inline constexpr QLatin1String IconStyle{"IconStyle"};
inline constexpr QLatin1String StarIcon{"StarIcon"};

// Toolbar
inline constexpr QLatin1String Flat{"Flat"};
inline constexpr QLatin1String Captions{"Captions"};
inline constexpr QLatin1String SmallFont{"SmallFont"};
inline constexpr QLatin1String Wrap{"Wrap"};

// PrintMargins
inline constexpr QLatin1String MeasureUnit{"MeasureUnit"};
inline constexpr QLatin1String Right{"Right"};
inline constexpr QLatin1String Bottom{"Bottom"};

// PrintProperties
inline constexpr QLatin1String WordWrap{"WordWrap"};
inline constexpr QLatin1String GridLines{"GridLines"};

// Print
inline constexpr QLatin1String Title{"Title"};
inline constexpr QLatin1String Report{"Report"};

// Forms\Filter: the filter dialog's remembered choices
inline constexpr QLatin1String CbProject{"cbProject"};
inline constexpr QLatin1String CbAssignee{"cbAssignee"};
inline constexpr QLatin1String RgDate{"rgDate"};

} // namespace Settings
