#include "core/password.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QStringList>
#include <QtEndian>

#include <array>
#include <utility>

namespace {

// Marks a digest apart from a scrambled password. Only one exact password would scramble to a
// text with this start, and it would then also need the full "$iterations$salt$digest" layout.
const QString digestMarker = QStringLiteral("pbkdf2-sha256$");
constexpr int digestIterations = 120000;
constexpr int saltBytes = 16;
constexpr int digestBytes = 32;

QString swapNeighbours(QString text)
{
    for (qsizetype i = 0; i + 1 < text.size(); i += 2)
        std::swap(text[i], text[i + 1]);
    return text;
}

// PBKDF2 with HMAC-SHA-256 (RFC 8018), here so that the program needs no network module for it.
QByteArray derive(const QString& password, const QByteArray& salt, int iterations)
{
    if (iterations < 1)
        return {};
    QMessageAuthenticationCode hmac(QCryptographicHash::Sha256, password.toUtf8());
    QByteArray key;
    for (quint32 block = 1; key.size() < digestBytes; ++block) {
        char index[4];
        qToBigEndian(block, index);
        hmac.reset();
        hmac.addData(salt);
        hmac.addData(index, 4);
        QByteArray u = hmac.result();
        QByteArray sum = u;
        for (int round = 1; round < iterations; ++round) {
            hmac.reset();
            hmac.addData(u);
            u = hmac.result();
            for (qsizetype i = 0; i < sum.size(); ++i)
                sum[i] = char(sum[i] ^ u[i]);
        }
        key += sum;
    }
    return key.left(digestBytes);
}

bool equalInConstantTime(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

QString scramblePassword(const QString& password)
{
    QString text = swapNeighbours(password);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(ushort((text[i].unicode() + i + 1) % 256));
    return text;
}

QString unscramblePassword(const QString& scrambled)
{
    QString text = scrambled;
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(ushort(((text[i].unicode() - (i + 1)) % 256 + 256) % 256));
    return swapNeighbours(text);
}

bool isPasswordDigest(const QString& stored)
{
    return stored.startsWith(digestMarker);
}

QString passwordStoredForm(const QString& password)
{
    if (password.isEmpty())
        return {};
    std::array<quint32, saltBytes / 4> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    const QByteArray salt(reinterpret_cast<const char*>(words.data()), saltBytes);
    const QByteArray key = derive(password, salt, digestIterations);
    return digestMarker + QString::number(digestIterations) + QLatin1Char('$') + QString::fromLatin1(salt.toBase64()) +
           QLatin1Char('$') + QString::fromLatin1(key.toBase64());
}

bool passwordMatches(const QString& stored, const QString& typed)
{
    if (!isPasswordDigest(stored))
        return unscramblePassword(stored) == typed;
    // A damaged digest matches nothing: the user can still turn protection off by editing the file,
    // but a half-written value never opens the window.
    const QStringList parts = stored.mid(digestMarker.size()).split(QLatin1Char('$'));
    if (parts.size() != 3)
        return false;
    bool ok = false;
    const int iterations = parts[0].toInt(&ok);
    if (!ok || iterations < 1 || iterations > 10'000'000)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[1].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[2].toLatin1());
    if (salt.isEmpty() || expected.size() != digestBytes)
        return false;
    return equalInConstantTime(derive(typed, salt, iterations), expected);
}
