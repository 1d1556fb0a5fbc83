#pragma once

#include <QString>
#include <QUrl>

// What opening a task's attached file means: the address handed to the desktop.

// True for a path that names nothing to open: empty, or the bare "mailto:" of an unfinished
// address.
bool isMissingAttachment(const QString& path);
// The address to open: a text with a scheme of two or more letters (http:, mailto:, file:) as it
// stands, anything else as a local file, relative paths against `baseFolder`.
QUrl attachmentUrl(const QString& path, const QString& baseFolder);
// The local file behind the address, empty when it is not a local file.
QString attachmentLocalFile(const QString& path, const QString& baseFolder);
