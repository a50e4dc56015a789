#pragma once

#include <QStringList>

class QObject;

// The extraction routine added beside QuaZip's JlCompress (that class cannot be extended, so a free
// function with the same name, arguments and behaviour). Returns the absolute paths of the
// extracted files; empty on any failure (and then everything it extracted is removed).
//
// Per entry, in archive order, the notifier's objectName is set to the entry name, so whoever
// listens to objectNameChanged hears one signal per entry (none when two consecutive entries bear
// the same name). The notifier may be null.
//
// Entry names that would leave the target (rooted, drive-qualified, climbing with "..") and
// symbolic-link entries make the whole extraction fail before anything is written.
QStringList ZMTextractDir(QString archive, QString target, QObject *notifier);

namespace ZipExtract
{

// How many threads share the inflating. 0 lets the routine decide from the archive's size and the
// machine; tests pin it to reach both the single-reader and the shared path on small archives.
struct Tuning {
    int workers = 0;
};

QStringList extractDir(
    const QString &archive, const QString &target, QObject *notifier, const Tuning &tuning);

} // namespace ZipExtract
