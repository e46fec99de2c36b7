#include "ClipboardKeeper.h"
#include "CommandLine.h"
#include "OneShotPick.h"
#include "Startup.h"

#include <QApplication>

#include <cstring>

int main(int argc, char* argv[])
{
    // The background process that keeps a copied text on the X11 clipboard after the program
    // has ended; the program starts it itself, so the help does not list it.
    if (argc > 1 && std::strcmp(argv[1], tintaro::ClipboardKeeper::kOption) == 0)
        return tintaro::ClipboardKeeper::runKeeper();
    // Options that open no window run before Qt looks for a display.
    if (const std::optional<int> status = tintaro::CommandLine::run(argc, argv, stdout, stderr))
        return *status;
    QApplication app(argc, argv);
    // No application display name: window titles must read exactly as set.
    QCoreApplication::setApplicationName(QStringLiteral("tintaro"));
    QCoreApplication::setOrganizationName(QStringLiteral("tintaro"));
    const auto pick = tintaro::CommandLine::pickRequest(argc, argv);
    const int status = pick ? tintaro::OneShotPick::run(*pick) : tintaro::Startup::run();
    // A text still ours on the clipboard stays there for other programs.
    tintaro::ClipboardKeeper::handOverAtExit();
    return status;
}
