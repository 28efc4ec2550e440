// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SoundOutput.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QHash>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QVariant>

namespace {

// Long enough for any horn; an effect that was replaced is dropped afterwards.
constexpr int soundLifetimeMs = 10000;

// Marks an effect asked to play, so that its fallback plays in its place.
constexpr char playAskedProperty[] = "turnkeeperPlayAsked";

// The program's sounds through QSoundEffect, each read ahead of the moment it plays,
// so that the horn starts as the window turns red instead of after its file is read
// and decoded.
class SoundEffects : public SoundOutput
{
public:
    bool hasOutput() override { return !QMediaDevices::defaultAudioOutput().isNull(); }

    void prepare(const QUrl &source, const QUrl &fallback) override
    {
        if (QSoundEffect *old = m_prepared.take(source))
            retire(old);
        m_prepared.insert(source, load(source, fallback, [] {}));
    }

    void play(const QUrl &source, const QUrl &fallback,
              const std::function<void()> &failed) override
    {
        QSoundEffect *effect = m_prepared.value(source);
        if (!effect || effect->status() == QSoundEffect::Error) {
            effect = load(source, fallback, failed);
            retire(effect);
        }
        // An effect still loading plays as soon as it is loaded.
        effect->setProperty(playAskedProperty, true);
        effect->play();
    }

private:
    // An effect reading source, which turns to fallback when source cannot be decoded
    // and calls failed when neither can.
    static QSoundEffect *load(const QUrl &source, const QUrl &fallback,
                              const std::function<void()> &failed)
    {
        auto *effect = new QSoundEffect(qApp);
        QObject::connect(effect, &QSoundEffect::statusChanged, effect, [=] {
            if (effect->status() != QSoundEffect::Error)
                return;
            if (!fallback.isEmpty() && effect->source() != fallback) {
                effect->setSource(fallback);
                if (effect->property(playAskedProperty).toBool())
                    effect->play();
            } else {
                failed();
            }
        });
        effect->setSource(source);
        return effect;
    }

    // Lets an effect finish what it plays, then drops it.
    static void retire(QSoundEffect *effect)
    {
        QTimer::singleShot(soundLifetimeMs, effect, &QObject::deleteLater);
    }

    QHash<QUrl, QSoundEffect *> m_prepared;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundOutput *turnkeeperCreateSoundOutput()
{
    return new SoundEffects;
}
