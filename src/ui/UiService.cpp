// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/UiService.h"

#include "buildinfo.h"
#include "logic/DesktopNotifications.h"
#include "logic/SettingsStore.h"
#include "logic/SystemLock.h"
#include "ui/ScreenReaders.h"
#include "ui/SoundOutput.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QLibrary>
#include <QMessageBox>
#include <QPalette>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {

UiService *installedService = nullptr;

// The program's one-line description, as the build declares it, for the translators'
// catalogue; the build stops when the two part.
constexpr char descriptionText[] =
    //: The program's one-line description, under its name in the About window and in
    //: the desktop's menus: cheerful, for parents.
    QT_TRANSLATE_NOOP("UiService", "Set a timer to settle disagreements between your kids!!");

constexpr bool sameText(const char *a, const char *b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}
static_assert(sameText(descriptionText, BuildInfo::description),
              "the description in UiService.cpp must read as the project() declares it");

// The built-in copies of the pictures and sounds live under these resource prefixes.
const QString builtInPrefix = QStringLiteral(":/pictures/");
const QString builtInSoundPrefix = QStringLiteral("qrc:/sounds/");

QList<QImage> readImages(const QString &path)
{
    QList<QImage> images;
    QImageReader reader(path);
    for (;;) {
        const QImage image = reader.read();
        if (image.isNull())
            break;
        images.append(image);
        if (!reader.jumpToNextImage())
            break;
    }
    return images;
}

// Where a picture or sound is read from: by its bare name from the current folder; but
// under the administrator's lock, where a child could put anything there, from the
// installed data folder. Empty: from the built-in copy alone.
QString runTimeFile(const QString &fileName)
{
    if (!SystemLock::read(SystemLock::Reporting::Quiet).isLocked())
        return fileName;
    const QString installed =
        QDir(QCoreApplication::applicationDirPath())
            .filePath(QStringLiteral(TURNKEEPER_DATA_FROM_PROGRAM "/") + fileName);
    return QFileInfo::exists(installed) ? QDir::cleanPath(installed) : QString();
}

QList<QImage> readImagesOrBuiltIn(const QString &fileName)
{
    const QString file = runTimeFile(fileName);
    QList<QImage> images = file.isEmpty() ? QList<QImage>() : readImages(file);
    if (images.isEmpty())
        images = readImages(builtInPrefix + fileName);
    return images;
}

QIcon iconFrom(const QList<QImage> &images)
{
    QIcon icon;
    for (const QImage &image : images)
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

} // namespace

UiService::UiService() = default;
UiService::~UiService() = default;

UiService &UiService::instance()
{
    if (installedService)
        return *installedService;
    static UiService defaultService;
    return defaultService;
}

void UiService::install(UiService *service)
{
    installedService = service;
}

void UiService::message(QWidget *parent, const QString &text, MessageIcon icon,
                        const QString &title)
{
    // A window that is not on the screen yet (a dialog checking what it was given
    // before it shows) cannot own the box: the window manager would place it with no
    // owner, under a main window that stays on top. The nearest window that is on the
    // screen owns it instead.
    QWidget *owner = parent;
    while (owner && !owner->isVisible())
        owner = owner->parentWidget();
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    title, text, QMessageBox::Ok, owner);
    box.exec();
}

QString UiService::saveFileName(QWidget *parent, const QString &title, const QString &suggestedName,
                                const QString &filter)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QFileDialog::getSaveFileName(parent, title, QDir(folder).filePath(suggestedName),
                                        filter);
}

namespace {

// Says once, on standard error, why a sound is not heard.
void reportSilence(const QString &fileName, const QString &reason)
{
    static bool reported = false;
    if (reported)
        return;
    reported = true;
    //: On standard error, after the program's name and ": ". %1 is a sound file's name
    //: (horn.wav), %2 why it cannot be heard.
    const QString text =
        QCoreApplication::translate("UiService", "%1 is silent: %2").arg(fileName, reason);
    std::fprintf(stderr, "%s: %s\n", qPrintable(applicationName()), qPrintable(text));
    std::fflush(stderr);
}

QStringList soundModuleFolders;

// The sound module, loaded at the first need and kept; null when it cannot be loaded,
// which is said once.
SoundOutput *soundOutput(const QString &fileName)
{
    static SoundOutput *const output = [&fileName]() -> SoundOutput * {
        // Beside the program (its build folder), then where it is installed.
        QStringList folders = soundModuleFolders;
        const QString programFolder = QCoreApplication::applicationDirPath();
        folders
            << programFolder
            << QDir(programFolder).filePath(QStringLiteral(TURNKEEPER_SOUND_MODULE_FROM_PROGRAM))
            << QStringLiteral(TURNKEEPER_SOUND_MODULE_INSTALLED);
        QString error;
        for (const QString &folder : std::as_const(folders)) {
            const QString path = QDir(folder).filePath(QStringLiteral("turnkeeper-sound.so"));
            if (!QFileInfo::exists(path))
                continue;
            QLibrary module(path);
            const auto create =
                reinterpret_cast<CreateSoundOutput>(module.resolve(createSoundOutputSymbol));
            if (create)
                return create();
            error = module.errorString();
        }
        //: Why a sound cannot be heard (%2 of "%1 is silent: %2"); %1 here is what the
        //: system said, or the folders searched.
        reportSilence(
            fileName,
            QCoreApplication::translate("UiService", "the sound module cannot be loaded (%1)")
                .arg(error.isEmpty() ? folders.join(QLatin1String(", ")) : error));
        return nullptr;
    }();
    return output;
}

// Where a sound is read from: the run-time file, with the built-in copy to fall back
// on, else the built-in copy alone.
struct SoundSources
{
    QUrl source;
    QUrl fallback;
};

SoundSources soundSources(const QString &fileName)
{
    const QUrl builtIn(builtInSoundPrefix + fileName);
    const QString path = runTimeFile(fileName);
    const QFileInfo file(QDir::current(), path);
    if (!path.isEmpty() && file.isFile() && file.isReadable())
        return {QUrl::fromLocalFile(file.absoluteFilePath()), builtIn};
    return {builtIn, QUrl()};
}

} // namespace

void UiService::playSound(const QString &fileName)
{
    SoundOutput *output = soundOutput(fileName);
    if (!output)
        return;
    if (!output->hasOutput()) {
        //: Why a sound cannot be heard (%2 of "%1 is silent: %2").
        reportSilence(fileName,
                      QCoreApplication::translate(
                          "UiService", "there is no audio output (no sound server answers)"));
        return;
    }
    const SoundSources sources = soundSources(fileName);
    output->play(sources.source, sources.fallback, [fileName] {
        //: Why a sound cannot be heard (%2 of "%1 is silent: %2").
        reportSilence(fileName, QCoreApplication::translate("UiService", "it cannot be played"));
    });
}

void UiService::prepareSounds(const QStringList &fileNames)
{
    if (fileNames.isEmpty())
        return;
    SoundOutput *output = soundOutput(fileNames.first());
    if (!output || !output->hasOutput())
        return;
    for (const QString &fileName : fileNames) {
        const SoundSources sources = soundSources(fileName);
        output->prepare(sources.source, sources.fallback);
    }
}

void UiService::setSoundModuleFolder(const QString &folder)
{
    soundModuleFolders = {folder};
}

void UiService::notifyAlarm(const QString &text)
{
    // The desktop entry's id names the installed icon; a program started from its
    // build folder has none, and the desktop shows its own.
    const QString entry = QGuiApplication::desktopFileName();
    DesktopNotifications::sendAlarm({applicationName(), entry, entry, applicationName(), text});
}

void UiService::prepareNotifications()
{
    DesktopNotifications::prepare();
}

void UiService::announce(QWidget *widget)
{
    QAccessibleEvent changed(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void UiService::announceDescription(QWidget *widget)
{
    QAccessibleEvent changed(widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

void UiService::say(QWidget *window, const QString &text)
{
    Announcer::of(window)->say(text);
}

QIcon UiService::icon(const QString &fileName) const
{
    return iconFrom(readImagesOrBuiltIn(fileName));
}

QPixmap UiService::picture(const QString &fileName, const QSize &box, qreal devicePixelRatio) const
{
    // Rounded as QLabel rounds the device size of its scaled contents.
    const QSize needed = box * devicePixelRatio;
    const auto area = [](const QImage &image) { return qint64(image.width()) * image.height(); };
    const QImage *fitting = nullptr;
    const QImage *largest = nullptr;
    const QList<QImage> images = readImagesOrBuiltIn(fileName);
    for (const QImage &image : images) {
        if (!largest || area(image) > area(*largest))
            largest = &image;
        const bool fills = image.width() >= needed.width() && image.height() >= needed.height();
        if (fills && (!fitting || area(image) < area(*fitting)))
            fitting = &image;
    }
    const QImage *chosen = fitting ? fitting : largest;
    if (!chosen || box.isEmpty())
        return QPixmap();
    QPixmap pixmap = QPixmap::fromImage(*chosen);
    pixmap.setDevicePixelRatio(qreal(chosen->width()) / box.width());
    return pixmap;
}

QColor UiService::systemColor(SystemColor color) const
{
    const QPalette palette = QApplication::palette();
    switch (color) {
    case SystemColor::InactiveCaption:
        return palette.color(QPalette::Mid);
    case SystemColor::Window:
        return palette.color(QPalette::Base);
    case SystemColor::CaptionText:
        return palette.color(QPalette::HighlightedText);
    case SystemColor::AppWorkspace:
        return palette.color(QPalette::Dark);
    case SystemColor::Highlight:
        return palette.color(QPalette::Highlight);
    case SystemColor::ButtonFace:
        break;
    }
    return palette.color(QPalette::Button);
}

QFont UiService::font(const QString &family, qreal pointSize, int weight) const
{
    static const bool substitutesInstalled = [] {
        QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
        return true;
    }();
    Q_UNUSED(substitutesInstalled);
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QString UiService::applicationName() const
{
    return ::applicationName();
}

QString UiService::applicationTitle() const
{
    return QString::fromUtf8(BuildInfo::title);
}

QString UiService::applicationDescription() const
{
    return QCoreApplication::translate("UiService", descriptionText);
}

int UiService::versionMajor() const
{
    return BuildInfo::versionMajor;
}

int UiService::versionMinor() const
{
    return BuildInfo::versionMinor;
}

int UiService::versionRevision() const
{
    return BuildInfo::versionPatch;
}
