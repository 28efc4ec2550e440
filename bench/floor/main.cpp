// SPDX-License-Identifier: GPL-3.0-or-later
// The least program of the main window's shape: a window with a three-menu bar, a
// label, a picture, a progress bar and a one-second precise timer moving the bar.
// No settings and no sound; the bench compares TurnKeeper with it.
// Its first argument is the bar's maximum: given the length of TurnKeeper's turn, the bar
// fills at the same pace, so both programs draw the same amount of bar at each tick.
// With "text" as second argument it is the plain Qt program that shows the time left on
// its bar as m:ss, as TurnKeeper's bar does: each second it sets the bar's format to the
// new text and the bar's value, and the stock progress bar does the rest.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QProgressBar>
#include <QString>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int maximum = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;
    const bool withText = argc > 2 && QString::fromLocal8Bit(argv[2]) == QLatin1String("text");

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.menuBar()
        ->addMenu(QStringLiteral("&File"))
        ->addAction(QStringLiteral("&Quit"), &app, &QApplication::quit);
    window.menuBar()->addMenu(QStringLiteral("&Timer"))->addAction(QStringLiteral("&Start"));
    window.menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));

    // The same client area as TurnKeeper's main window: 209 x 169 pixels.
    auto *client = new QWidget(&window);
    client->setFixedSize(209, 169);
    window.setCentralWidget(client);

    auto *picture = new QLabel(client);
    picture->setGeometry(56, 16, 96, 96);
    picture->setScaledContents(true);
    picture->setPixmap(QPixmap(QStringLiteral("face.ico")));

    auto *label = new QLabel(QStringLiteral("Ready"), client);
    label->setGeometry(8, 120, 193, 25);
    label->setAlignment(Qt::AlignCenter);

    auto *bar = new QProgressBar(client);
    bar->setGeometry(0, 152, 209, 17);
    bar->setTextVisible(withText);
    bar->setRange(0, maximum > 0 ? maximum : 600);
    bar->setValue(0);
    // The time left, as minutes:seconds.
    const auto timeLeft = [bar] {
        const int left = bar->maximum() - bar->value();
        return QStringLiteral("%1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
    };
    if (withText)
        bar->setFormat(timeLeft());

    QTimer timer;
    timer.setInterval(1000);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, bar, [bar, withText, timeLeft] {
        bar->setValue((bar->value() + 1) % (bar->maximum() + 1));
        if (withText)
            bar->setFormat(timeLeft());
    });
    timer.start();

    window.setFixedSize(client->width(), client->height() + window.menuBar()->sizeHint().height());
    window.show();
    return app.exec();
}
