// Pictures of the windows in each state, Chinese and English, for the README and for review:
// vx_shots <output folder>. Every window runs in this process on a machine root and fixture of
// its own; the pictures are grabbed from the windows themselves.
#include "fakehttp.h"
#include "installerfolder.h"
#include "testroot.h"
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

namespace {

QString outDir;
int failures = 0;

void save(QWidget &w, const QString &name)
{
    w.show();
    w.raise();
    QApplication::processEvents();
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
    const QString file = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!w.grab().save(file)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
        ++failures;
    } else {
        std::printf("%s\n", qPrintable(file));
    }
}

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

    Widget w;
    save(w, QStringLiteral("install-%1-collapsed").arg(tag));
    w.findChild<QPushButton *>(QStringLiteral("para"))->click();
    save(w, QStringLiteral("install-%1-expanded").arg(tag));
    w.findChild<QPushButton *>(QStringLiteral("para"))->click();
    QSignalSpy ended(&w, &Widget::installationEnded);
    w.on_install_clicked();
    save(w, QStringLiteral("install-%1-installing").arg(tag));
    ended.wait(60000);
    save(w, QStringLiteral("install-%1-complete").arg(tag));
    w.hide();
    InstallContext::overrideProgramDir(QString());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vx_shots <output folder>\n");
        return 2;
    }
    outDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(outDir);
    QFont font(QStringLiteral("Microsoft Yahei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    for (const char *lang : {"zh_cn", "en_us"})
        installer(QLatin1String(lang));
    return failures == 0 ? 0 : 1;
}
