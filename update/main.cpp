#include "appstart.h"
#include "core/installlayout.h"
#include "basewidget.h"
#include "core/installcontext.h"
#include "core/unattended.h"
#include "singleapp.h"
#include "updateglobals.h"
#include "widget.h"

#include <QDebug>
#include <QFileInfo>

#include <cstdlib>

namespace {

// Both exit paths leave through here, so a worker thread that is still ending never outlives
// the objects it uses.
int leave(int code)
{
    if (!Widget::waitForWorkers(10000)) {
        qWarning() << "worker still running at exit";
        std::_Exit(code);
    }
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    AppStart::prepare(argc, argv, QStringLiteral("update"));
    SingleApp app(argc, argv);
    int code = 0;
    if (AppStart::anotherRuns(app, code))
        return code;

    const bool silent = Unattended::isOn();
    QStringList positional = app.arguments().mid(1);
    positional.removeAll(QStringLiteral("--silent"));
    if (positional.isEmpty()) {
        if (!silent)
            return 0;
        Unattended::tell(QStringLiteral("No client version given: update <version> --silent"));
        return Unattended::Refused;
    }
    // With the edition file beside it the updater is not in an installation and has no folder
    // to update; it must not guess one.
    if (QFileInfo::exists(InstallContext::programDir() + QStringLiteral("/VX.ini"))) {
        qDebug() << "VX.ini beside the updater: no installation directory";
        if (!silent)
            return 0;
        Unattended::tell(QStringLiteral("The updater lies beside VX.ini, not in an installation; nothing was updated."));
        return Unattended::Refused;
    }

    AppStart::setFont();
    BaseWidget context;
    context.initLanguage();
    requestedVersion = positional.first();
    // The record can be changed by anyone; files are written and swept only inside a version
    // folder of our own product folder.
    QString why;
    if (InstallLayout::productFolderOf(context.installDir, context.recordName, &why).isEmpty()) {
        qDebug() << "installation directory refused:" << context.installDir << why;
        if (!silent)
            return 0;
        Unattended::tell(QStringLiteral("The recorded installation folder \"%1\" was not updated: %2.")
                             .arg(context.installDir, why));
        return Unattended::Refused;
    }

    {
        Widget window;
        if (silent) {
            QObject::connect(&window, &Widget::updateFinished, &app, [] { QCoreApplication::exit(Unattended::Done); });
            QObject::connect(&window, &Widget::updateFailed, &app, [](int, const QString &message) {
                Unattended::tell(message);
                QCoreApplication::exit(Unattended::Failed);
            });
        } else {
            window.show();
        }
        code = app.exec();
    }
    return leave(code);
}
