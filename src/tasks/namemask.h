#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Ticking names of a check list by a wildcard, without regard to letter case (upper case by the
// system locale). A mask with "*" ticks the names that start with the text before its first "*"
// (what follows that "*" is ignored, so "*" alone ticks every name); a mask without "*" ticks the
// names equal to it.
bool nameMatchesMask(const QString& name, const QString& mask);
// The new tick of every name, in list order. Nothing (the ticks stay as they are) for an empty
// mask or an empty list.
std::optional<QList<bool>> ticksForMask(const QStringList& names, const QString& mask);
