// Pictures of the installer's window in each state and of the message box, Chinese and English:
// vx_shots <output folder>. Every window runs in this process on a machine root and fixture of its
// own; the pictures are grabbed from the windows themselves.
#include "msgbox.h"
#include "shots.h"
#include "widget.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFont>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <cstdio>

using namespace TestSupport;

using Shots::save;

namespace {

void installer(const QString &lang)
{
    MachineRoot root;
    FakeHttp service;
    QTemporaryDir folder;
    Edition e;
    e.lang = lang;
    makeInstallerFolder(folder.path(), e, service.base());
    InstallContext::overrideProgramDir(folder.path());
    BaseWidget context;
    context.initLanguage();
    const QString tag = lang == QLatin1String("en_us") ? QStringLiteral("en") : QStringLiteral("zh");

    MsgBox *box = new MsgBox(MsgBox::Question);
    box->setMessage(lang == QLatin1String("en_us")
                        ? QStringLiteral("The program is already installed on this computer, do you want to reinstall it? Press OK to continue.")
                        : QStringLiteral("客户端已安装，是否覆盖安装？"));
    save(*box, QStringLiteral("msgbox-%1").arg(tag));
    delete box;

    Widget w;
    save(w, QStringLiteral("install-%1-collapsed").arg(tag));
    w.findChild<QPushButton *>(QStringLiteral("para"))->click();
    save(w, QStringLiteral("install-%1-expanded").arg(tag));
    w.findChild<QPushButton *>(QStringLiteral("para"))->click();
    QSignalSpy ended(&w, &Widget::installationEnded);
    w.on_install_clicked();
    save(w, QStringLiteral("install-%1-installing").arg(tag));
    if (ended.isEmpty())
        ended.wait(60000);
    save(w, QStringLiteral("install-%1-complete").arg(tag));
    w.hide();
    InstallContext::overrideProgramDir(QString());
}

} // namespace

int main(int argc, char **argv)
{
    return Shots::runAll(argc, argv, installer);
}
