#pragma once

#include <QByteArray>
#include <QString>

// The one writer of user files: the bytes go to a temporary file beside the target, are flushed
// and then renamed over it, so a crash or a full disk never leaves a half-written file.
// Returns an empty string on success, otherwise a message naming the file and the reason;
// on failure the previous file is left as it was.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

// Reads a whole file. Returns an empty string on success, otherwise a message naming the file
// and the reason.
QString readFileBytes(const QString& path, QByteArray* bytes);
