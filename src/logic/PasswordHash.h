// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The administrator's parent password is kept only as a slow salted hash, so that
// the world-readable file that holds it tells nobody the password. The text form is
// pbkdf2-sha256$ITERATIONS$SALT$HASH: PBKDF2 with HMAC-SHA-256 over the password's
// UTF-8 bytes, the salt and the hash in standard base64 with padding.
namespace PasswordHash {

inline constexpr char scheme[] = "pbkdf2-sha256";
// What make() uses, and the fewest a hash may name.
inline constexpr int Iterations = 200000;
// The most a hash may name: far beyond it, each try at the prompt would take minutes.
inline constexpr int MostIterations = 10000000;
inline constexpr int SaltBytes = 16;
inline constexpr int HashBytes = 32;

struct Parts
{
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

// The parts of a hash in text form; nothing for a text that breaks any of the rules
// above, in the least detail.
std::optional<Parts> parse(const QString &text);

QString format(const Parts &parts);

// The hash of password with a new random salt, in text form.
QString make(const QString &password);

// Whether password gives the hash. It takes the same time for every password of a
// given length, right or wrong.
bool verify(const QString &password, const Parts &parts);

// False also when text is no hash at all.
bool verify(const QString &password, const QString &text);

// Whether two byte strings are equal, looking at every byte whatever it finds.
bool equalInConstantTime(const QByteArray &a, const QByteArray &b);

} // namespace PasswordHash
