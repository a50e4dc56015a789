// Pictures of the updater's window: running, failed and finished, Chinese and English.
#include "core/installcontext.h"
#include "platform/paths.h"
#include "shots.h"
#include "updateglobals.h"
#include "widget.h"

#include <QCryptographicHash>
#include <QSignalSpy>

using Shots::save;
using namespace TestSupport;

namespace {

QByteArray manifest(const QString &base, const QString &installDir)
{
    const QByteArray readme = readFile(installDir + QStringLiteral("/data/readme.txt"));
    const QByteArray hash = QCryptographicHash::hash(readme, QCryptographicHash::Sha1).toHex();
    return "<versionInfo version=\"3.0.2\"><prefix>" + base.toUtf8() + "/</prefix>"
           "<note>3.0.2\n- Faster scene upload\n- Fewer retries on slow links</note>"
           "<files><file name=\"readme.txt\" path=\"client/data\" hashCode=\"" + hash + "\"/></files></versionInfo>";
}

void updater(const QString &lang)
{
    Edition e;
    e.lang = lang;
    Shots::InstalledMachine m(e);
    if (m.installDir.isEmpty())
        return;
    const QString tag = lang == QLatin1String("en_us") ? QStringLiteral("en") : QStringLiteral("zh");
    InstallContext::overrideProgramDir(m.installDir);
    BaseWidget context;
    context.initLanguage();
    requestedVersion = QStringLiteral("3.0.2");

    {   // The service answers no manifest: the attempt fails.
        Widget w;
        QSignalSpy failed(&w, &Widget::updateFailed);
        save(w, QStringLiteral("update-%1-running").arg(tag));
        if (failed.isEmpty())
            failed.wait(10000);
        save(w, QStringLiteral("update-%1-failed").arg(tag));
        w.hide();
    }
    m.service.reply("/getVersionFile.htm", 200, manifest(m.service.base(), m.installDir));
    {
        Widget w;
        QSignalSpy finished(&w, &Widget::updateFinished);
        if (finished.isEmpty())
            finished.wait(10000);
        save(w, QStringLiteral("update-%1-finished").arg(tag));
        w.hide();
    }
    Widget::waitForWorkers(5000);
    InstallContext::overrideProgramDir(QString());
}

} // namespace

int main(int argc, char **argv)
{
    return Shots::runAll(argc, argv, updater);
}
