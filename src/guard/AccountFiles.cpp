// SPDX-License-Identifier: GPL-3.0-or-later
#include "guard/AccountFiles.h"

#include "guard/TurnProgress.h"
#include "logic/SettingsStore.h"
#include "logic/TurnClock.h"
#include "logic/TurnRecord.h"

#include <QDir>
#include <QFile>

namespace {

const QString guardSection = QStringLiteral("Guard");

qint64 monotonicMs()
{
    return TurnClock::instance().monotonicMs();
}

QDateTime utcNow()
{
    return TurnClock::instance().utcNow();
}

QString key(const char *name)
{
    return guardSection + QLatin1Char('/') + QLatin1String(name);
}

QString text(const char *name)
{
    return GetSetting(guardSection, QLatin1String(name), QString());
}

std::optional<qint64> number(const char *name)
{
    bool read = false;
    const qint64 value = text(name).toLongLong(&read);
    return read ? std::optional(value) : std::nullopt;
}

QString readBootId()
{
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.read(64)).trimmed()
                                          : QString();
}

// The end of the break: in wall-clock time, which a reboot keeps; one saved by an earlier
// guard in monotonic time counts in the boot that saved it.
QDateTime savedBreakEnd(const QString &bootId)
{
    const QDateTime end = QDateTime::fromString(text("BreakEnds"), Qt::ISODateWithMs);
    if (end.isValid())
        return end.toUTC();
    const std::optional<qint64> monotonic = number("BreakEnds");
    if (monotonic && text("Boot") == bootId)
        return utcNow().addMSecs(*monotonic - monotonicMs());
    return QDateTime();
}

} // namespace

AccountFiles::AccountFiles(const QString &stateDir) : m_stateDir(stateDir), m_bootId(readBootId())
{}

QString AccountFiles::settings(uint uid) const
{
    return m_stateDir + QLatin1Char('/') + QString::number(uid) + QStringLiteral(".conf");
}

QString AccountFiles::record(uint uid) const
{
    return m_stateDir + QLatin1Char('/') + QString::number(uid) + QStringLiteral(".turns");
}

QList<uint> AccountFiles::accounts() const
{
    QList<uint> uids;
    const QStringList files =
        QDir(m_stateDir).entryList({QStringLiteral("*.conf")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        bool isUid = false;
        const uint uid = file.chopped(5).toUInt(&isUid);
        if (isUid)
            uids.append(uid);
    }
    return uids;
}

AccountFiles::Kept AccountFiles::load(uint uid, QString *error) const
{
    QDir().mkpath(m_stateDir);
    const SettingsFileScope scope(settings(uid));
    // The running turn's start, set from what the guard counted.
    if (const std::optional<RecordedTurn> turn = TurnRecord::read()) {
        const TurnProgress::Saved saved{text("Boot"), number("Origin"), number("Elapsed")};
        RecordedTurn counted = *turn;
        counted.started =
            utcNow().addMSecs(-TurnProgress::gone(saved, m_bootId, monotonicMs(), turn->length));
        if (!TurnRecord::write(counted, error))
            error->prepend(QStringLiteral("The running turn's start: "));
    }
    Kept kept;
    kept.timeUpStands = text("Standing") == QLatin1String("true");
    kept.breakEnds = savedBreakEnd(m_bootId);
    kept.backoff =
        PasswordBackoff::restored({int(number("WrongTries").value_or(0)),
                                   number("WaitMs").value_or(0), number("NotBefore").value_or(0)},
                                  monotonicMs(), utcNow().toMSecsSinceEpoch());
    return kept;
}

bool AccountFiles::save(uint uid, const Kept &kept, QString *error) const
{
    const PasswordBackoff::Saved backoff =
        kept.backoff.saved(monotonicMs(), utcNow().toMSecsSinceEpoch());
    const auto wrong = [&backoff](qint64 value) {
        return backoff.wrong ? QVariant(value) : QVariant();
    };
    const SettingsFileScope scope(settings(uid));
    return SaveSettings(
        {{key("Standing"), kept.timeUpStands ? QStringLiteral("true") : QVariant()},
         {key("BreakEnds"),
          kept.breakEnds.isValid() ? kept.breakEnds.toString(Qt::ISODateWithMs) : QVariant()},
         {key("WrongTries"), wrong(backoff.wrong)},
         {key("WaitMs"), wrong(backoff.waitMs)},
         {key("NotBefore"), wrong(backoff.notBeforeUtcMs)}},
        QStringLiteral("The time's up, the break and the wrong passwords"), error);
}

bool AccountFiles::saveProgress(uint uid, qint64 originMs, QString *error) const
{
    const SettingsFileScope scope(settings(uid));
    return SaveSettings({{key("Boot"), m_bootId},
                         {key("Origin"), QString::number(originMs)},
                         {key("Elapsed"), QString::number(monotonicMs() - originMs)}},
                        QStringLiteral("The running turn"), error);
}
