#include "CrashChild.h"

#include <QProcess>

namespace CrashChild {

Run run(const QString& folder, int stopAt, const QStringList& operation)
{
    Run result;
    QProcess child;
    child.setWorkingDirectory(folder);
    child.start(QStringLiteral(TINTARO_CRASH_CHILD), QStringList{QString::number(stopAt)} + operation);
    if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit) {
        child.kill();
        child.waitForFinished();
        result.output = child.errorString();
        return result;
    }
    result.started = true;
    result.exitCode = child.exitCode();
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
    result.output = out + QString::fromLocal8Bit(child.readAllStandardError());
    const QStringList words = out.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (result.stopped() && words.size() == 2 && words.first() == QLatin1String("stopped"))
        result.stoppedAt = words.at(1);
    if (result.finished() && !words.isEmpty() && words.first() == QLatin1String("done"))
        result.passed = words.mid(1);
    return result;
}

} // namespace CrashChild
