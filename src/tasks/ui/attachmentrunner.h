#pragma once

#include <QString>

class QMenu;
class QWidget;

// Opens a task's attached file with the desktop's default application. Tells the user when the
// task has no file (language string 188) or the file could not be opened (`failureText`, by default
// "Error executing program."); false then.
bool RunAttachment(QWidget* parent, const QString& path, const QString& failureText = QString());
// Adds the "&Explorer" submenu of a file ("Open containing folder", "Copy path") to `menu`; nothing
// for an empty path.
void addAttachmentShellMenu(QMenu* menu, QWidget* parent, const QString& path);
