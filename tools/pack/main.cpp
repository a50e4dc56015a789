// vx-pack: turns a client build folder into a complete installer folder.
#include "toolkit.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTextCodec>

#include <cstdio>

using namespace Toolkit;

namespace {

const char *const kHelp = R"(usage: vx-pack --client <client build folder> --out <installer folder> --version <version>
               [--third <edition>] [--name <Chinese name>] [--name-en <English name>]
               [--exe <client file name>] [--mark <channel mark>] [--lang zh_cn|en_us]
               [--service <base URL>] [--survey <URL>] [--update <URL>] [--update-alt <URL>]
               [--channel <URL>] [--product-url <URL>] [--stall-timeout <seconds>]
               [--programs <folder with install, update, uninstall>] [--runtime <folder>]
               [--moldra <MOsetup.exe>]

Makes an installer folder: the installer, files.zip (the client build folder, uninstall.exe,
update.exe, service.ini), VX.ini (GB2312), service.ini, version, VX.ico, SPCache, the runtime
files (empty stand-ins unless --runtime names a folder holding them) and MOsetup.exe when given.
The client build folder must hold VantrixZMT.exe. --service sets every service address at once.
The output folder must not exist or be empty; on any failure nothing is left behind.
)";

const char *const kRuntime[] = {"icudt52.dll", "icuin52.dll", "icuuc52.dll", "msvcp100.dll",
                                "msvcr100.dll", "Qt5Core.dll", "Qt5Gui.dll", "Qt5Widgets.dll"};

QByteArray serviceIni(const Arguments &a)
{
    const QString base = a.value(QStringLiteral("service"), QStringLiteral("http://127.0.0.1"));
    auto line = [](const char *key, const QString &value) -> QByteArray { return QByteArray(key) + '=' + value.toUtf8() + '\n'; };
    return "[server]\n" + line("bs", a.value(QStringLiteral("survey"), base))
           + "[update]\n" + line("primary", a.value(QStringLiteral("update"), base))
           + line("alternate", a.value(QStringLiteral("update-alt"), a.value(QStringLiteral("update"), base)))
           + line("stallTimeout", a.value(QStringLiteral("stall-timeout"), QStringLiteral("30")))
           + "[channel]\n" + line("host", a.value(QStringLiteral("channel"), base))
           + "[product]\n" + line("url", a.value(QStringLiteral("product-url"), base + QStringLiteral("/")));
}

QByteArray editionFile(const Arguments &a, const QString &exe)
{
    QTextCodec *gb = QTextCodec::codecForName("GB2312");
    QByteArray ini = "[info]\r\n";
    const QList<QPair<const char *, QString>> keys = {
        {"exe", exe},
        {"name", a.value(QStringLiteral("name"), QStringLiteral("渲染客户端"))},
        {"nameEN", a.value(QStringLiteral("name-en"), QStringLiteral("Render Client"))},
        {"third", a.value(QStringLiteral("third"))},
        {"mark", a.value(QStringLiteral("mark"), QStringLiteral("vx"))},
        {"lang", a.value(QStringLiteral("lang"), QStringLiteral("zh_cn"))}};
    for (const auto &key : keys) {
        if (!gb->canEncode(key.second))
            fail(QStringLiteral("the %1 \"%2\" cannot be written in the GB2312 code page").arg(QLatin1String(key.first), key.second));
        if (key.second.contains(QLatin1Char('"')))
            fail(QStringLiteral("the %1 must not contain a double quote").arg(QLatin1String(key.first)));
        // Quoted so that commas stay part of the value.
        ini += QByteArray(key.first) + "=\"" + gb->fromUnicode(key.second) + "\"\r\n";
    }
    return ini;
}

void checkEdition(const Arguments &a, const QString &exe)
{
    static const QRegularExpression plainName(QStringLiteral("^[^\\\\/:*?\"<>|]+$"));
    if (!exe.endsWith(QLatin1String(".exe")) || !plainName.match(exe).hasMatch())
        fail(QStringLiteral("the client file name \"%1\" must be a plain file name ending in .exe").arg(exe));
    const QString third = a.value(QStringLiteral("third"));
    if (!third.isEmpty() && !plainName.match(third).hasMatch())
        fail(QStringLiteral("the edition \"%1\" must be usable as a folder name").arg(third));
    const QString lang = a.value(QStringLiteral("lang"), QStringLiteral("zh_cn"));
    if (lang != QLatin1String("zh_cn") && lang != QLatin1String("en_us"))
        fail(QStringLiteral("the language must be zh_cn or en_us, not \"%1\"").arg(lang));
    const QString version = a.required(QStringLiteral("version"));
    static const QRegularExpression versionText(QStringLiteral("^[0-9A-Za-z][0-9A-Za-z._-]*$"));
    if (!versionText.match(version).hasMatch() || version.contains(QLatin1String("..")))
        fail(QStringLiteral("the version \"%1\" may hold only letters, digits, dots, dashes and underscores").arg(version));
}

void addToZip(QuaZip &zip, const QString &file, const QString &entry)
{
    QFile source(file);
    if (!source.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read \"%1\"").arg(file));
    QuaZipFile out(&zip);
    if (!out.open(QIODevice::WriteOnly, QuaZipNewInfo(entry, file)))
        fail(QStringLiteral("cannot add \"%1\" to files.zip").arg(entry));
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 20);
        if (out.write(block) != block.size())
            fail(QStringLiteral("cannot write \"%1\" into files.zip").arg(entry));
    }
    out.close();
    if (out.getZipError() != 0)
        fail(QStringLiteral("cannot write \"%1\" into files.zip").arg(entry));
}

QByteArray iconBytes()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 32, 32);
    g.setColorAt(0, QColor(0x73, 0xb6, 0xff));
    g.setColorAt(1, QColor(0x03, 0xe0, 0xaf));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(2, 2, 28, 28, 6, 6);
    p.setPen(QPen(QColor(40, 40, 40), 4));
    p.drawLine(9, 9, 16, 24);
    p.drawLine(16, 24, 23, 9);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "ICO"))
        image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vx-pack"));
    const Arguments a(app.arguments(),
                      {"help", "client", "out", "version", "third", "name", "name-en", "exe", "mark", "lang",
                       "service", "survey", "update", "update-alt", "channel", "product-url", "stall-timeout",
                       "programs", "runtime", "moldra"});
    if (a.has(QStringLiteral("help")) || argc == 1) {
        std::fputs(kHelp, argc == 1 ? stderr : stdout);
        return argc == 1 ? 2 : 0;
    }
    const QString client = a.required(QStringLiteral("client"));
    const QString exe = a.value(QStringLiteral("exe"), QStringLiteral("VantrixZMT.exe"));
    checkEdition(a, exe);
    if (!QFileInfo(client + QStringLiteral("/VantrixZMT.exe")).isFile())
        fail(QStringLiteral("the client build folder \"%1\" does not hold VantrixZMT.exe").arg(client));
    const QString programs = a.value(QStringLiteral("programs"), QCoreApplication::applicationDirPath());
    for (const char *program : {"install", "update", "uninstall"}) {
        if (!QFileInfo(programs + QLatin1Char('/') + QLatin1String(program)).isFile())
            fail(QStringLiteral("the programs folder \"%1\" does not hold %2").arg(programs, QLatin1String(program)));
    }
    const QString moldra = a.value(QStringLiteral("moldra"));
    if (!moldra.isEmpty() && !QFileInfo(moldra).isFile())
        fail(QStringLiteral("the companion installer \"%1\" does not exist").arg(moldra));
    const QString runtime = a.value(QStringLiteral("runtime"));
    if (!runtime.isEmpty() && !QFileInfo(runtime).isDir())
        fail(QStringLiteral("the runtime folder \"%1\" does not exist").arg(runtime));

    StagedFolder out(a.required(QStringLiteral("out")));
    const QString dir = out.path();
    const QByteArray service = serviceIni(a);

    QuaZip zip(dir + QStringLiteral("/files.zip"));
    if (!zip.open(QuaZip::mdCreate))
        fail(QStringLiteral("cannot create files.zip in \"%1\"").arg(dir));
    for (const QString &file : filesBelow(client))
        addToZip(zip, client + QLatin1Char('/') + file, file);
    addToZip(zip, programs + QStringLiteral("/uninstall"), QStringLiteral("uninstall.exe"));
    addToZip(zip, programs + QStringLiteral("/update"), QStringLiteral("update.exe"));
    writeBytes(dir + QStringLiteral("/service.ini"), service);
    addToZip(zip, dir + QStringLiteral("/service.ini"), QStringLiteral("service.ini"));
    zip.close();
    if (zip.getZipError() != 0)
        fail(QStringLiteral("cannot finish files.zip"));

    copyFile(programs + QStringLiteral("/install"), dir + QStringLiteral("/install"));
    writeBytes(dir + QStringLiteral("/VX.ini"), editionFile(a, exe));
    writeBytes(dir + QStringLiteral("/version"), a.required(QStringLiteral("version")).toUtf8() + '\n');
    if (QFileInfo(client + QStringLiteral("/VX.ico")).isFile())
        copyFile(client + QStringLiteral("/VX.ico"), dir + QStringLiteral("/VX.ico"));
    else
        writeBytes(dir + QStringLiteral("/VX.ico"), iconBytes());
    if (QFileInfo(client + QStringLiteral("/SPCache")).isFile())
        copyFile(client + QStringLiteral("/SPCache"), dir + QStringLiteral("/SPCache"));
    else
        writeBytes(dir + QStringLiteral("/SPCache"), QByteArray());
    for (const char *file : kRuntime) {
        const QString name = QLatin1String(file);
        if (!runtime.isEmpty() && QFileInfo(runtime + QLatin1Char('/') + name).isFile())
            copyFile(runtime + QLatin1Char('/') + name, dir + QLatin1Char('/') + name);
        else
            writeBytes(dir + QLatin1Char('/') + name, QByteArray());
    }
    copyFile(client + QStringLiteral("/VantrixZMT.exe"), dir + QStringLiteral("/VantrixZMT.exe"));
    if (!moldra.isEmpty())
        copyFile(moldra, dir + QStringLiteral("/MOsetup.exe"));
    out.commit();
    std::printf("packed %s\n", qPrintable(QDir::cleanPath(QFileInfo(a.value(QStringLiteral("out"))).absoluteFilePath())));
    return 0;
}
