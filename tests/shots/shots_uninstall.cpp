// Pictures of the uninstaller's window: confirmation, survey and finish view, Chinese and English.
#include "core/installcontext.h"
#include "shots.h"
#include "widget.h"

#include <QPushButton>

using Shots::save;
using namespace TestSupport;

namespace {

void uninstaller(const QString &lang)
{
    Edition e;
    e.lang = lang;
    Shots::InstalledMachine m(e);
    if (m.installDir.isEmpty())
        return;
    m.service.reply("/cms/uninstallReason/getPresentByType", 200,
                    R"({"rows":[{"id":11,"order":1,"reason":"渲染速度慢"},{"id":12,"order":2,"reason":"价格太高"},)"
                    R"({"id":13,"order":3,"reason":"不常使用"},{"id":14,"order":4,"reason":"换用其他软件"}]})");
    const QString tag = lang == QLatin1String("en_us") ? QStringLiteral("en") : QStringLiteral("zh");
    InstallContext::overrideProgramDir(m.installDir);
    BaseWidget context;
    context.initLanguage();
    {
        Widget w;
        Shots::settle(300);
        save(w, QStringLiteral("uninstall-%1-confirm").arg(tag));
        if (InstallContext::isZh) {
            w.findChild<QPushButton *>(QStringLiteral("uninstall"))->click();
            save(w, QStringLiteral("uninstall-%1-survey").arg(tag));
            w.on_uninstall_commit_clicked();
        } else {
            w.findChild<QPushButton *>(QStringLiteral("uninstall"))->click();
        }
        Shots::settle(200);
        save(w, QStringLiteral("uninstall-%1-finished").arg(tag));
        w.hide();
    }
    InstallContext::overrideProgramDir(QString());
}

} // namespace

int main(int argc, char **argv)
{
    return Shots::runAll(argc, argv, uninstaller);
}
