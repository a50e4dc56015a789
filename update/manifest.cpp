#include "manifest.h"

#include "core/serviceconfig.h"

#include <QDomDocument>
#include <QDomElement>
#include <QDomNodeList>

namespace Manifest {

namespace {

const QString clientExe = QStringLiteral("VantrixZMT.exe");

QString endpointBase(const QString &endpoint)
{
    QString base = endpoint;
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

// True when the entry survives the filter; client is set for the edition's own executable.
bool editionKeeps(const QString &name, const QString &version, const QString &third, bool &client)
{
    client = false;
    if (!aboveGate(version))
        return true;
    const bool candidate = name == clientExe
                           || (name.startsWith(QLatin1String("VX-")) && name.endsWith(QLatin1String(".exe")));
    if (!candidate)
        return true;
    if (name != expectedClientName(third))
        return false;
    client = true;
    return true;
}

} // namespace

bool aboveGate(const QString &version)
{
    return QString::compare(version, QLatin1String(gateVersion()), Qt::CaseSensitive) > 0;
}

QString expectedClientName(const QString &third)
{
    if (third.isEmpty())
        return QStringLiteral("VX-X.exe");
    return QStringLiteral("VX-%1.exe").arg(QString(third).remove(QStringLiteral("Render")));
}

QString dirOf(const QString &path)
{
    const int slash = path.indexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash);
}

QString manifestUrl(const ServiceConfig &config, bool isEn, const QString &third, const QString &version)
{
    QString url = endpointBase(isEn ? config.updateAlternate : config.updatePrimary)
                  + QStringLiteral("/getVersionFile.htm?version=") + version;
    if (third == QLatin1String("Nimbrosia"))
        url += QStringLiteral("&client=nim");
    else if (third == QLatin1String("Corvanta"))
        url += QStringLiteral("&client=u3d");
    return url;
}

QString fileUrl(const QString &streamUrl, const FileItem &item, const QString &version)
{
    return streamUrl + QStringLiteral("?path=files/") + item.path + QLatin1Char('/') + item.name
           + QStringLiteral("&version=") + version;
}

bool staysBelowRoot(const QString &relative)
{
    QString text = relative;
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (text.contains(QLatin1Char(':')) || text.contains(QChar(0)) || text.endsWith(QLatin1Char('/')))
        return false;
    const QStringList parts = text.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    int depth = 0;
    for (const QString &part : parts) {
        if (part == QLatin1String(".."))
            --depth;
        else if (part != QLatin1String("."))
            ++depth;
        if (depth < 0)
            return false;
    }
    // The last part must be a file name of its own, not the root or a climb back to a folder.
    return depth > 0 && !parts.isEmpty() && parts.last() != QLatin1String("..")
           && parts.last() != QLatin1String(".");
}

Result parse(const QByteArray &xml, const QString &version, const QString &third, const QString &installRoot,
             const QString &downloadRoot)
{
    Result result;
    QDomDocument doc;
    if (!doc.setContent(xml, false))
        return result;
    result.wellFormed = true;
    const QDomElement root = doc.documentElement();
    result.version = root.attribute(QStringLiteral("version"));

    const QDomNodeList top = root.childNodes();
    for (int i = 0; i < top.count(); ++i) {
        const QDomElement element = top.at(i).toElement();
        const QString tag = element.tagName();
        const QDomNodeList children = element.childNodes();
        if (tag == QLatin1String("files")) {
            for (int j = 0; j < children.count(); ++j) {
                const QDomElement child = children.at(j).toElement();
                if (child.isNull())
                    continue; // a comment or text among the entries names no file
                FileItem item;
                item.name = child.attribute(QStringLiteral("name"));
                bool client = false;
                if (!editionKeeps(item.name, version, third, client))
                    continue;
                item.path = child.attribute(QStringLiteral("path"));
                item.hashCode = child.attribute(QStringLiteral("hashCode"));
                item.dir = dirOf(item.path);
                const QString relative = item.dir + QLatin1Char('/') + (client ? clientExe : item.name);
                item.localPath = installRoot + QLatin1Char('/') + relative;
                item.downPath = downloadRoot + QLatin1Char('/') + relative;
                if (!staysBelowRoot(relative))
                    result.unsafe << item.path + QLatin1Char('/') + item.name;
                result.items.files << item;
            }
        } else if (tag == QLatin1String("plugins")) {
            for (int j = 0; j < children.count(); ++j) {
                const QDomElement child = children.at(j).toElement();
                if (child.isNull())
                    continue;
                PluginItem plugin;
                plugin.name = child.attribute(QStringLiteral("name"));
                plugin.path = child.attribute(QStringLiteral("path"));
                plugin.hashCode = child.attribute(QStringLiteral("hashCode"));
                result.items.plugins << plugin;
            }
        } else if (tag == QLatin1String("regs") || tag == QLatin1String("bats")) {
            QStringList &list = tag == QLatin1String("regs") ? result.items.regs : result.items.bats;
            for (int j = 0; j < children.count(); ++j) {
                const QDomElement child = children.at(j).toElement();
                if (!child.isNull())
                    list << child.attribute(QStringLiteral("name"));
            }
        } else if (tag == QLatin1String("prefix")) {
            result.streamUrl = element.firstChild().nodeValue() + QStringLiteral("getVersionStream.htm");
        } else if (tag == QLatin1String("note")) {
            result.notes << element.firstChild().nodeValue();
        }
    }
    return result;
}

} // namespace Manifest
