#include "commands.h"

#include "core/datasetcheck.h"
#include "core/tablefiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

QString entryWord(const QString& file)
{
    if (file == TableFile::Tasks)
        return QStringLiteral("tasks");
    if (file == TableFile::TaskLog)
        return QStringLiteral("log entries");
    if (file == TableFile::Diary)
        return QStringLiteral("diary days");
    if (file == TableFile::Special)
        return QStringLiteral("special days");
    return QStringLiteral("names");
}

bool takeFolder(const QStringList& args, const char* command, QString* folder)
{
    if (args.size() != 1) {
        QTextStream(stderr) << "Usage: twk " << command << " FOLDER\n";
        return false;
    }
    if (!QFileInfo(args[0]).isDir()) {
        QTextStream(stderr) << "twk " << command << ": \"" << args[0] << "\" is not a folder\n";
        return false;
    }
    *folder = args[0];
    return true;
}

} // namespace

int runCheckCommand(const QStringList& args)
{
    QString folder;
    if (!takeFolder(args, "check", &folder))
        return 2;
    QTextStream out(stdout);
    bool allLoaded = true;
    for (const TableCheck& check : checkDataFolder(folder)) {
        out << check.file << ": ";
        if (!check.present) {
            out << "missing (the program creates it empty when the data set is opened)\n";
            continue;
        }
        if (!check.error.isEmpty()) {
            allLoaded = false;
            out << "UNREADABLE: " << check.error << '\n';
            continue;
        }
        out << check.entries << ' ' << entryWord(check.file);
        if (check.marker >= 0)
            out << ", format marker " << (check.marker > 0 ? QString::number(check.marker) : QStringLiteral("none"));
        out << (check.upgradeNeeded ? ", upgrade needed" : ", current format");
        out << (check.problems.isEmpty() ? QStringLiteral(", no problems")
                                         : QStringLiteral(", %1 problem(s)").arg(check.problems.size()));
        out << '\n';
        for (const QString& problem : check.problems)
            out << "    " << problem << '\n';
    }
    return allLoaded ? 0 : 1;
}

int runUpgradeCommand(const QStringList& args)
{
    QString folder;
    if (!takeFolder(args, "upgrade", &folder))
        return 2;
    const UpgradeResult result = upgradeDataFolder(folder);
    QTextStream out(stdout);
    for (const QString& note : result.notes)
        out << note << '\n';
    for (const QString& file : result.rewritten)
        out << file << ": saved in the current format\n";
    out.flush();
    for (const QString& error : result.errors)
        QTextStream(stderr) << "twk upgrade: " << error << '\n';
    return result.ok() ? 0 : 1;
}
