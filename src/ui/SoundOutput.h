// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

#include <functional>

// The sound system as the program uses it. It lives in a module of its own,
// turnkeeper-sound, loaded when the end of a turn is first near rather than with the
// program: Qt Multimedia and the sound server's libraries would slow every start by a
// third, and keep some megabytes resident from then on.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;

    // Whether the desktop has an audio output at all.
    virtual bool hasOutput() = 0;
    // Reads a sound now, ready for a play() of the same source: from source, or from
    // fallback when source cannot be decoded. Reading it again reads the file again.
    virtual void prepare(const QUrl &source, const QUrl &fallback) = 0;
    // Plays source once, or fallback when source cannot be decoded; calls failed when
    // neither can be played.
    virtual void play(const QUrl &source, const QUrl &fallback,
                      const std::function<void()> &failed) = 0;
};

// The module's one entry point, resolved by this name.
using CreateSoundOutput = SoundOutput *(*)();
inline constexpr char createSoundOutputSymbol[] = "turnkeeperCreateSoundOutput";
