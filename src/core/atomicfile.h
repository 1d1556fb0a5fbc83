#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <sys/types.h>

// The one writer of user files: the bytes go to a temporary file beside the target, are flushed
// and then renamed over it, so a crash or a full disk never leaves a half-written file.
// A new file is made readable by the user only; an existing file keeps its mode.
// Returns an empty string on success, otherwise a message naming the file and the system's
// reason ("No space left on device"); on failure the previous file is left as it was.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

// Takes the next piece of a file's bytes; false once the file can take no more, so that the
// producer can stop early (what it hands over after that is dropped).
using ByteSink = std::function<bool(const char* data, qsizetype size)>;
// The same for bytes that `produce` hands to its sink piece by piece, so that a large file is
// never held whole in memory.
QString streamFileAtomically(const QString& path, const std::function<void(const ByteSink&)>& produce);

// Reads a whole file. Returns an empty string on success, otherwise a message naming the file
// and the reason.
QString readFileBytes(const QString& path, QByteArray* bytes);

// The system's text for an errno value, e.g. "Permission denied".
QString systemErrorText(int error);

// Creates the folder and every missing folder above it, each for the user only (0700); folders
// that exist keep their mode. True when the folder exists afterwards.
bool makePrivateFolder(const QString& path);

// While it lives, files and folders the process creates are for the user only, also those made
// by code that takes no mode (a folder made in the file dialog).
class PrivateCreationScope final {
public:
    PrivateCreationScope();
    ~PrivateCreationScope();
    PrivateCreationScope(const PrivateCreationScope&) = delete;
    PrivateCreationScope& operator=(const PrivateCreationScope&) = delete;

private:
    mode_t m_saved;
};
