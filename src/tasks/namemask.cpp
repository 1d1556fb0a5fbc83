#include "tasks/namemask.h"

#include <QLocale>

namespace {

bool upperNameMatchesUpperMask(const QString& upperName, const QString& upperMask)
{
    const qsizetype star = upperMask.indexOf(QLatin1Char('*'));
    if (star < 0)
        return upperName == upperMask;
    // The name must have the whole prefix; a shorter name never matches.
    return upperName.size() >= star && QStringView(upperName).left(star) == QStringView(upperMask).left(star);
}

} // namespace

bool nameMatchesMask(const QString& name, const QString& mask)
{
    const QLocale locale = QLocale::system();
    return upperNameMatchesUpperMask(locale.toUpper(name), locale.toUpper(mask));
}

std::optional<QList<bool>> ticksForMask(const QStringList& names, const QString& mask)
{
    if (mask.isEmpty() || names.isEmpty())
        return std::nullopt;
    const QLocale locale = QLocale::system();
    const QString upperMask = locale.toUpper(mask);
    QList<bool> ticks;
    ticks.reserve(names.size());
    for (const QString& name : names)
        ticks.append(upperNameMatchesUpperMask(locale.toUpper(name), upperMask));
    return ticks;
}
