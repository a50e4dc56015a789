#include "startup.h"

#include "appstart.h"
#include "basewidget.h"
#include "core/unattended.h"
#include "installrules.h"
#include "msgbox.h"
#include "platform/paths.h"
#include "singleapp.h"
#include "widget.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QEventLoop>
#include <QNetworkReply>
#include <QTimer>

namespace {

// A refusal: the message, then the end (unattended: "refused").
int refuse(const QString &zh, const QString &en)
{
    MsgTool::information(BaseWidget::isZh ? zh : en);
    return Unattended::isOn() ? Unattended::Refused : 0;
}

// The report is sent in the background of the event loop; an unattended run ends right after the
// installation, so it gives the report a few seconds to leave.
void awaitReport(QNetworkReply *reply)
{
    if (!reply || reply->isFinished())
        return;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    loop.exec();
}

int runUnattended(Widget &window, const QString &previousDir, const QStringList &args)
{
    window.setOptions(!args.contains(QStringLiteral("--no-start-menu")),
                      !args.contains(QStringLiteral("--no-autorun")));
    int code = Unattended::Failed;
    QEventLoop loop;
    QObject::connect(&window, &Widget::installationEnded, &loop, [&](int result) {
        code = result;
        loop.quit();
    });
    QString chosen = Unattended::optionValue(args, QStringLiteral("--dir"));
    // Recorded paths must not depend on the folder the installer was started from.
    if (!chosen.isEmpty())
        chosen = QDir::cleanPath(QFileInfo(Platform::nativePath(chosen)).absoluteFilePath());
    if (!chosen.isEmpty())
        window.reinstallInto(chosen);
    else if (!previousDir.isEmpty())
        window.reinstallInto(previousDir);
    else
        window.on_install_clicked();
    loop.exec();
    if (code == Unattended::Done)
        awaitReport(window.pendingReport());
    return code;
}

} // namespace

int runInstaller(SingleApp &app)
{
    int code = 0;
    if (AppStart::anotherRuns(app, code))
        return code;
    AppStart::setFont();

    BaseWidget context;
    context.initLanguage();
    const QString edition = BaseWidget::third;
    QSettings *settings = context.settings();
    if (!settings)
        return 0;
    QString previousDir = settings->value(QStringLiteral("InstallDir")).toString();

    if (edition != QLatin1String("Corvanta")) {
        if (BaseWidget::existProcess(QStringLiteral("3dsmax.exe")))
            return refuse(QStringLiteral("请先关闭max，再安装客户端！"),
                          QStringLiteral("Pleace close max first and install client!"));
        if (!previousDir.isEmpty()
            && settings->value(QStringLiteral("ThirdPart")).toString().isEmpty()
            && !BaseWidget::iniThird().isEmpty())
            return refuse(QStringLiteral("已安装通用版客户端，请卸载后安装！"),
                          QStringLiteral("The general version of the client has been installed, "
                                         "please install it after uninstall!"));
    } else {
        previousDir.replace(QLatin1String("Corvanta"), QLatin1String("Vantrix"));
    }

    if (!previousDir.isEmpty()
        && MsgTool::question(BaseWidget::isZh
                                 ? QStringLiteral("客户端已安装，是否覆盖安装？")
                                 : QStringLiteral("The program is already installed on this computer, do "
                                                  "you want to reinstall it? Press OK to continue."))
               != 0)
        return 0;

    if (BaseWidget::existProcess(BaseWidget::exe))
        BaseWidget::killProcess(BaseWidget::exe);

    previousDir = InstallRules::reducePreviousDir(previousDir);

    Widget window;
    if (Unattended::isOn())
        return runUnattended(window, previousDir, QCoreApplication::arguments());
    window.reinstallInto(previousDir);
    window.show();
    return app.exec();
}
