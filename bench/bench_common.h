#pragma once
// What the benchmark programs share (bench_common.cpp).
#include <QByteArray>
#include <QString>

#include <vector>

namespace bench {
double median(std::vector<double> v);
long residentKilobytes();
QByteArray records(qint64 count);
bool writeFile(const QString& path, const QByteArray& bytes);
bool prepareFolder(const QString& data, const QString& folder, const QByteArray& colours);
} // namespace bench
