#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One client file of the manifest and where it lives here.
struct FileItem
{
    QString name;      // name on the server, used in the download URL
    QString path;      // server-side directory, used whole in the download URL
    QString dir;       // local subdirectory: path from its first "/" on
    QString hashCode;  // expected SHA-1, lower-case hex
    QString current;   // localPath when the local file already matches
    QString localPath; // the file compared with hashCode
    QString downPath;  // the file a download replaces
};

struct PluginItem
{
    QString name;
    QString path;
    QString hashCode;
    QString localPath;
};

struct ItemSet
{
    QList<FileItem> files;
    QList<PluginItem> plugins;
    QStringList regs;
    QStringList bats;
};
