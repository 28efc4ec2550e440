// SPDX-License-Identifier: GPL-3.0-or-later
#include "logic/PasswordHash.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace PasswordHash {

namespace {

// Standard base64 with padding, and only the one text that encodes the bytes.
std::optional<QByteArray> fromBase64(const QString &text, int size)
{
    const QByteArray encoded = text.toLatin1();
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != size || decoded.decoded.toBase64() != encoded)
        return std::nullopt;
    return decoded.decoded;
}

// PBKDF2 with HMAC-SHA-256 (RFC 8018), in Qt Core: the digest is one block of SHA-256,
// so U1 = HMAC(password, salt || 00 00 00 01), Uk = HMAC(password, Uk-1), and the key is
// U1 ^ U2 ^ ... ^ Uc.
QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    static_assert(HashBytes == 32, "one block of SHA-256");
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password.toUtf8());
    mac.addData(salt);
    mac.addData("\0\0\0\1", 4);
    QByteArray link = mac.result();
    QByteArray key = link;
    for (int i = 1; i < iterations; ++i) {
        mac.reset();
        mac.addData(link);
        link = mac.result();
        for (int byte = 0; byte < HashBytes; ++byte)
            key[byte] = char(key.at(byte) ^ link.at(byte));
    }
    return key;
}

} // namespace

std::optional<Parts> parse(const QString &text)
{
    const QStringList fields = text.split(QLatin1Char('$'));
    if (fields.size() != 4 || fields.at(0) != QLatin1String(scheme))
        return std::nullopt;

    static const QRegularExpression digits(QStringLiteral("^[1-9][0-9]{0,8}$"));
    if (!digits.match(fields.at(1)).hasMatch())
        return std::nullopt;
    Parts parts;
    parts.iterations = fields.at(1).toInt();
    if (parts.iterations < Iterations || parts.iterations > MostIterations)
        return std::nullopt;

    const std::optional<QByteArray> salt = fromBase64(fields.at(2), SaltBytes);
    const std::optional<QByteArray> hash = fromBase64(fields.at(3), HashBytes);
    if (!salt || !hash)
        return std::nullopt;
    parts.salt = *salt;
    parts.hash = *hash;
    return parts;
}

QString format(const Parts &parts)
{
    return QStringLiteral("%1$%2$%3$%4")
        .arg(QLatin1String(scheme), QString::number(parts.iterations),
             QString::fromLatin1(parts.salt.toBase64()),
             QString::fromLatin1(parts.hash.toBase64()));
}

QString make(const QString &password)
{
    Parts parts;
    parts.iterations = Iterations;
    // Zeros first: a salt is never whatever the memory held before.
    parts.salt = QByteArray(SaltBytes, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(parts.salt.data()),
                                          SaltBytes / int(sizeof(quint32)));
    parts.hash = derive(password, parts.salt, parts.iterations);
    return format(parts);
}

bool verify(const QString &password, const Parts &parts)
{
    return equalInConstantTime(derive(password, parts.salt, parts.iterations), parts.hash);
}

bool verify(const QString &password, const QString &text)
{
    const std::optional<Parts> parts = parse(text);
    return parts && verify(password, *parts);
}

bool equalInConstantTime(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    // Every byte is looked at, and nothing branches on what is found; volatile keeps
    // the compiler from stopping at the first difference.
    volatile unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return difference == 0;
}

} // namespace PasswordHash
