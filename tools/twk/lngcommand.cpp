#include "commands.h"

#include "core/atomicfile.h"
#include "core/languagefile.h"
#include "core/languagesource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

int fail(const QString& message)
{
    QTextStream(stderr) << "twk lng: " << message << '\n';
    return 1;
}

bool readWhole(const QString& path, QByteArray* bytes, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    *bytes = file.readAll();
    return true;
}

int compile(const QString& sourcePath, const QString& outPath)
{
    QByteArray bytes;
    QString error;
    if (!readWhole(sourcePath, &bytes, &error))
        return fail(error);
    const std::optional<LanguageSource> source = parseLanguageSource(bytes, &error);
    if (!source)
        return fail(QDir::toNativeSeparators(sourcePath) + QLatin1String(": ") + error);
    // The file named native.lng is the native one, as older files were recognised by that name.
    const bool native = QFileInfo(outPath).fileName().compare(QLatin1String("native.lng"), Qt::CaseInsensitive) == 0;
    const QByteArray compiled = compileLanguageFile(*source, native, &error);
    if (!error.isEmpty())
        return fail(QDir::toNativeSeparators(sourcePath) + QLatin1String(": ") + error);
    // Read it back before it replaces anything: a file the program cannot read is never written.
    const LanguageFile check = LanguageFile::fromBytes(compiled, QFileInfo(outPath).fileName());
    if (!check.isValid() || check.entries().size() != source->strings.size())
        return fail(QStringLiteral("internal error: the compiled file does not read back: ") + check.errorString());
    error = writeFileAtomically(outPath, compiled);
    if (!error.isEmpty())
        return fail(error);
    return 0;
}

int dump(const QString& path)
{
    QByteArray bytes;
    QString error;
    if (!readWhole(path, &bytes, &error))
        return fail(error);
    const LanguageFile file = LanguageFile::fromBytes(bytes, QFileInfo(path).fileName());
    if (!file.isValid())
        return fail(QDir::toNativeSeparators(path) + QLatin1String(": ") + file.errorString());
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot write to standard output"));
    out.write(formatLanguageSource(languageSourceOf(file)).toUtf8());
    return out.flush() ? 0 : fail(QStringLiteral("cannot write to standard output"));
}

int usage()
{
    QTextStream(stderr) << "Usage:\n"
                           "  twk lng compile SOURCE OUT   compile a language source into a language file\n"
                           "  twk lng dump FILE            print a language file as language source\n";
    return 2;
}

} // namespace

int runLanguageCommand(const QStringList& args)
{
    if (args.size() == 3 && args[0] == QLatin1String("compile"))
        return compile(args[1], args[2]);
    if (args.size() == 2 && args[0] == QLatin1String("dump"))
        return dump(args[1]);
    return usage();
}
