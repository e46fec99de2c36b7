#include "CommandLine.h"
#include "OneShotPick.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Options that open no window run before Qt looks for a display.
    if (const std::optional<int> status = tintaro::CommandLine::run(argc, argv, stdout, stderr))
        return *status;
    QApplication app(argc, argv);
    // No application display name: window titles must read exactly as set.
    QCoreApplication::setApplicationName(QStringLiteral("tintaro"));
    QCoreApplication::setOrganizationName(QStringLiteral("tintaro"));
    if (const auto pick = tintaro::CommandLine::pickRequest(argc, argv))
        return tintaro::OneShotPick::run(*pick);
    return tintaro::Startup::run();
}
