// libFuzzer target: any bytes given to the language file reader are either read or refused with an
// error, never read out of bounds; a file that was read can be looked up and dumped.
#include "core/languagefile.h"
#include "core/languagesource.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const LanguageFile file = LanguageFile::fromBytes(bytes, QStringLiteral("native.lng"));
    if (!file.isValid()) {
        if (file.errorString().isEmpty() || !file.entries().isEmpty())
            __builtin_trap();
        return 0;
    }
    for (const int number : {0, 1, 188, 871, 65535}) {
        if (const std::optional<QString> text = file.text(number))
            (void)text->size();
    }
    (void)file.windowTextNumber(QStringLiteral("TfmMain"), QStringLiteral("btnOK.Caption"));
    (void)formatLanguageSource(languageSourceOf(file)).size();
    return 0;
}
