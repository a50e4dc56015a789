#pragma once

#include "itemset.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct ServiceConfig;

// The update server's protocol: where to ask, what the manifest says, and which of its entries
// this installation takes under which local name.
namespace Manifest {

// Above this version the edition filter picks the edition's own client executable.
inline const char *gateVersion() { return "5.1.9.1"; }

// Textual, code unit by code unit: "5.1.10.0" and "10.0" are below the gate.
bool aboveGate(const QString &version);

// The executable name the manifest lists for an edition ("VX-X.exe" for the standard one).
QString expectedClientName(const QString &third);

// Local subdirectory of a server path: the path from its first "/" on, or the whole path.
QString dirOf(const QString &path);

QString manifestUrl(const ServiceConfig &config, bool isEn, const QString &third, const QString &version);
QString fileUrl(const QString &streamUrl, const FileItem &item, const QString &version);

// True when root + "/" + relative names a file strictly below root: no climbing out with "..",
// no drive letter or other colon, no empty file name. Both separators count.
bool staysBelowRoot(const QString &relative);

struct Result
{
    bool wellFormed = false;
    QString version;     // the document's "version" attribute, for the log
    ItemSet items;       // after the edition filter
    QString streamUrl;   // last prefix + "getVersionStream.htm"; empty without a prefix
    QStringList notes;   // every note, in document order
    QStringList unsafe;  // kept entries whose paths would leave the installation
};

Result parse(const QByteArray &xml, const QString &version, const QString &third, const QString &installRoot,
             const QString &downloadRoot);

} // namespace Manifest
