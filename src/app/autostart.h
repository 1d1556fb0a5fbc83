#pragma once

#include <QString>

// Starting with the user's desktop session: an entry "tarnwick.desktop" in the autostart folder of
// the XDG desktops ($XDG_CONFIG_HOME/autostart, by default ~/.config/autostart).

// The entry's full path.
QString autostartEntryPath();

// The text of the entry that starts the program at `path` under the name `name`.
QString autostartEntryText(const QString& name, const QString& path);

// A non-empty path writes the entry (through the one atomic writer); an empty path removes it.
// Returns an empty string on success, otherwise the reason, naming the file.
QString SetRunAtStartup(const QString& name, const QString& path);

// Whether an entry is there.
bool runsAtStartup();
