#pragma once

#include <QString>

// The program password guards the main window, not the files: the tables stay plain text.
//
// Older settings files hold the password in a reversible scrambled form, which anyone who copies
// the file can read back. New passwords are stored as a salted PBKDF2-SHA256 digest instead; an
// old scrambled value is still accepted and replaced by a digest once the right password is typed.

// The old reversible form: neighbours swapped in pairs, then each character code raised by its
// position (from 1), 8-bit codes wrapping modulo 256. "abc" gives "ccf".
QString scramblePassword(const QString& password);
QString unscramblePassword(const QString& scrambled);

// The form written to Other/Item0 for a new password: the digest marker, the salt and the digest.
// An empty password is stored as "" (no password).
QString passwordStoredForm(const QString& password);

// Whether the typed password is the stored one: the digest compared in constant time, or, for an
// old scrambled value, the unscrambled text compared exactly. An empty stored value is the empty
// password.
bool passwordMatches(const QString& stored, const QString& typed);

// Whether the stored value is a digest (and not an old scrambled password).
bool isPasswordDigest(const QString& stored);
