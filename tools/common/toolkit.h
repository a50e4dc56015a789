#pragma once

#include <QString>
#include <QStringList>

// What both tools share: argument reading, clear failures, whole-folder output.
namespace Toolkit {

// A failure the user can act on: printed with the tool's name, exit code 2.
[[noreturn]] void fail(const QString &message);

class Arguments
{
public:
    Arguments(const QStringList &arguments, const QStringList &known);
    QString value(const QString &name, const QString &fallback = QString()) const;
    bool has(const QString &name) const;
    QString required(const QString &name) const;

private:
    QStringList args;
};

// Lists the files below dir (relative paths, "/"-separated, sorted).
QStringList filesBelow(const QString &dir);

// Builds into "<final>.partial-<pid>" and renames it into place, so a failure leaves nothing.
class StagedFolder
{
public:
    explicit StagedFolder(const QString &finalPath);
    ~StagedFolder();
    QString path() const { return staging; }
    void commit();

private:
    QString target;
    QString staging;
    bool done = false;
};

void writeBytes(const QString &path, const QByteArray &bytes);
void copyFile(const QString &from, const QString &to);

// True when version is textually above the gate the updater applies to edition executables.
bool aboveEditionGate(const QString &version);

} // namespace Toolkit
