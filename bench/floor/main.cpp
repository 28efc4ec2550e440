// SPDX-License-Identifier: GPL-3.0-or-later
// The least program of the main window's shape: a window with a three-menu bar, a
// label, a picture, a progress bar and a one-second precise timer moving the bar.
// No settings and no sound; the bench compares TurnKeeper with it.
// Its one argument is the bar's maximum: given the length of TurnKeeper's turn, the bar
// fills at the same pace, so both programs draw the same amount of bar at each tick.
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
    bar->setTextVisible(false);
    bar->setRange(0, maximum > 0 ? maximum : 600);

    QTimer timer;
    timer.setInterval(1000);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, bar,
                     [bar] { bar->setValue((bar->value() + 1) % (bar->maximum() + 1)); });
    timer.start();

    window.setFixedSize(client->width(), client->height() + window.menuBar()->sizeHint().height());
    window.show();
    return app.exec();
}
