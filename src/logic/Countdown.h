// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

// The countdown of a turn apart from the window that shows it: whether it is Ready,
// Running or at Time's Up, the seconds counted so far and the length they count up
// to, with its fixed texts. The main window drives it with its one-second timer and
// shows what it reports.
class Countdown
{
    Q_DECLARE_TR_FUNCTIONS(Countdown)

public:
    enum class State { Ready, Running, TimeUp };
    // What one more second did: counted on, reached the last minute of a turn long
    // enough to be warned of it, or reached the end of the turn.
    enum class Tick { Ticked, Warning, TimeUp };

    // A turn longer than this is warned of, this long before its end.
    static constexpr qint32 WarnedTurnsLongerThan = 120;
    static constexpr qint32 WarningBeforeEnd = 60;

    static constexpr int TickMilliseconds = 1000;

    // In the language of the installed translation, English without one.
    static QString startCaption(); // "&Start Timer"
    static QString stopCaption();  // "&Stop Timer"
    static QString readyText();    // "Timer Ready!"
    static QString startedText();  // "Timer Started!"
    static QString timeUpText();   // "Time's Up!"

    // The time left of a running turn as minutes and seconds: 599 seconds give "9:59".
    static QString timeLeftText(qint32 length, qint32 count);

    State state() const { return m_state; }
    bool isRunning() const { return m_state == State::Running; }
    // Seconds counted since the turn started; 0 whenever it is not running.
    qint32 count() const { return m_count; }
    // The length of the turn in seconds: the one it started with.
    qint32 length() const { return m_length; }
    // Makes the turn that runs now longer or shorter.
    void setLength(qint32 seconds) { m_length = seconds; }
    // Whether a running turn, long enough to be warned of its end, is in its last minute.
    bool inLastMinute() const;

    // Starts a turn of length seconds from the count that every way out of Running
    // has left at 0.
    void start(qint32 length);
    // Takes up a turn of length seconds of which elapsed are already gone: Running
    // from there, or Time's Up when none is left.
    State resume(qint32 length, qint32 elapsed);
    // Back to Ready: stopped, count 0.
    void reset();
    // Counts on to elapsed seconds at once, never back: Warning when the count passed
    // the minute before the end on the way and the turn goes on, TimeUp (count 0) when
    // it reached the length.
    Tick advanceTo(qint32 elapsed);

private:
    State m_state = State::Ready;
    qint32 m_count = 0;
    qint32 m_length = 0;
};
