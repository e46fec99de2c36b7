#include "Startup.h"

#include "ColorSetStore.h"
#include "MainWindow.h"
#include "MessageBoxes.h"
#include "SetNameFile.h"
#include "Twips.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>

#include <cstdio>

namespace tintaro {
namespace {

QString cannotStartText(const QString& reason)
{
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());
    if (!QFileInfo::exists(QString::fromLatin1(Startup::kSetNamesFile)))
        return QStringLiteral("Tintaro2.0 cannot start: the file \"%1\" was not found in the "
                              "folder \"%2\".\n\nThe program keeps its colour sets there; start "
                              "it through its launcher, which prepares that folder.")
            .arg(QString::fromLatin1(Startup::kSetNamesFile), folder);
    return QStringLiteral("Tintaro2.0 cannot start: the file \"%1\" in the folder \"%2\" cannot "
                          "be read (%3).")
        .arg(QString::fromLatin1(Startup::kSetNamesFile), folder, reason);
}

} // namespace

std::unique_ptr<MainWindow> Startup::start()
{
    ColorSetStore::recover(); // an interrupted deletion, before its names are read
    const SetNameFile::LoadResult names = SetNameFile::load(QString::fromLatin1(kSetNamesFile));
    if (!names.ok) {
        const QString text = cannotStartText(names.error);
        std::fprintf(stderr, "%s\n", qPrintable(text));
        MessageBoxes::critical(nullptr, text);
        return nullptr;
    }
    auto window = std::make_unique<MainWindow>(names.names);
    window->setWindowTitle(QString::fromLatin1(MainWindow::kTitle));
    window->controls().cmdabout->setText(QStringLiteral("About"));
    // The designed first place: the client area's corner at (2160, 1485)
    // twips from the top left of the primary screen's work area.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().topLeft() +
                     QPoint(Twips::toPixels(2160), Twips::toPixels(1485)));
    window->show();
    return window;
}

int Startup::run()
{
    const std::unique_ptr<MainWindow> window = start();
    if (!window)
        return 1;
    return QApplication::exec();
}

} // namespace tintaro
