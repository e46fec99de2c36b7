#pragma once

#include <QString>
#include <QStringList>

// Runs tintaro_crash_child: one change of the user's files in a folder,
// stopped as a crash at a chosen step.
namespace CrashChild {

constexpr int kStoppedExitCode = 77;

struct Run
{
    bool started = false; // false: the program could not be run or did not end
    int exitCode = -1;
    QString stoppedAt;    // the step it died at, when stopped
    QStringList passed;   // every step passed, when it finished
    QString output;       // what it printed, for failure messages
    bool stopped() const { return started && exitCode == kStoppedExitCode; }
    bool finished() const { return started && exitCode == 0; }
};

// Runs `operation` (the child's arguments after N) in `folder`, stopping at
// step `stopAt` (counted from 1; 0 runs to the end).
Run run(const QString& folder, int stopAt, const QStringList& operation);

} // namespace CrashChild
