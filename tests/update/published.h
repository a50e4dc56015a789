#pragma once

// Publishing an update the way the maker's server lays it out, and comparing trees.
#include "testroot.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QList>
#include <QMap>

namespace TestSupport {

// One file of a version: the manifest's "path" and "name" attributes and the contents.
struct ServedFile
{
    QString path;
    QString name;
    QByteArray bytes;
};

struct ManifestEntry
{
    QString name;
    QString path;
    QString hashCode;
};

inline QString sha1Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex());
}

inline QString xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

inline QByteArray manifestXml(const QList<ManifestEntry> &entries, const QString &prefix,
                              const QString &note = QString(), const QString &version = QStringLiteral("x"))
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<update version=\"")
                  + xmlEscaped(version) + QStringLiteral("\">\n  <prefix>") + xmlEscaped(prefix)
                  + QStringLiteral("</prefix>\n");
    if (!note.isEmpty())
        xml += QStringLiteral("  <note>") + xmlEscaped(note) + QStringLiteral("</note>\n");
    xml += QStringLiteral("  <files>\n");
    for (const ManifestEntry &e : entries) {
        xml += QStringLiteral("    <file name=\"") + xmlEscaped(e.name) + QStringLiteral("\" path=\"")
               + xmlEscaped(e.path) + QStringLiteral("\" hashCode=\"") + xmlEscaped(e.hashCode)
               + QStringLiteral("\"/>\n");
    }
    xml += QStringLiteral("  </files>\n</update>\n");
    return xml.toUtf8();
}

inline QList<ManifestEntry> entriesOf(const QList<ServedFile> &files)
{
    QList<ManifestEntry> entries;
    for (const ServedFile &f : files)
        entries << ManifestEntry{f.name, f.path, sha1Hex(f.bytes)};
    return entries;
}

// manifests/<version>.xml and files/<version>/files/<path>/<name>, as the server stores them.
inline void publish(const QString &dir, const QString &version, const QString &prefix,
                    const QList<ServedFile> &files, const QString &note = QString())
{
    for (const ServedFile &f : files)
        writeFile(dir + QStringLiteral("/files/") + version + QStringLiteral("/files/") + f.path
                      + QLatin1Char('/') + f.name,
                  f.bytes);
    writeFile(dir + QStringLiteral("/manifests/") + version + QStringLiteral(".xml"),
              manifestXml(entriesOf(files), prefix, note, version));
}

// Relative path → contents of every file below dir, except the ones named in skip.
inline QMap<QString, QByteArray> readTree(const QString &dir, const QStringList &skip = {})
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = QDir(dir).relativeFilePath(file);
        if (!skip.contains(relative))
            tree.insert(relative, readFile(file));
    }
    return tree;
}

// What a published version becomes below an installation: "root/bin" + "a.dll" → "bin/a.dll".
inline QMap<QString, QByteArray> installedForm(const QList<ServedFile> &files)
{
    QMap<QString, QByteArray> tree;
    for (const ServedFile &f : files) {
        const int slash = f.path.indexOf(QLatin1Char('/'));
        const QString dir = slash < 0 ? f.path : f.path.mid(slash);
        QString relative = QDir::cleanPath(dir + QLatin1Char('/') + f.name);
        if (relative.startsWith(QLatin1Char('/')))
            relative.remove(0, 1);
        tree.insert(relative, f.bytes);
    }
    return tree;
}

inline QStringList leftovers(const QString &dir)
{
    QStringList found;
    QDirIterator it(dir, {QStringLiteral("*_VX_DELETE")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

} // namespace TestSupport
