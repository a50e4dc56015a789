#include "appstart.h"
#include "core/installcontext.h"
#include "core/procutil.h"
#include "core/singleinstance.h"
#include "core/unattended.h"
#include "edition.h"
#include "msgbox.h"
#include "singleapp.h"
#include "uninstallation.h"
#include "widget.h"

#include <QCoreApplication>

namespace {

// Corvanta's client does not plug into 3ds Max, so a running 3ds Max holds nothing of it.
bool maxHoldsClient()
{
    if (editionClass(InstallContext::third) == EditionClass::Corvanta
        || !ProcUtil::existProcess(QStringLiteral("3dsmax.exe")))
        return false;
    MsgTool::information(InstallContext::isZh ? QStringLiteral("请先关闭max，再卸载客户端！")
                                              : QStringLiteral("Pleace close max first and uninstall client!"));
    return true;
}

// The same removal as the window's without a window system: nothing is drawn, so neither fonts
// nor pictures nor the survey are loaded, and the self-removal follows at once.
int uninstallUnattended(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SingleInstance instance;
    int code = 0;
    if (AppStart::anotherRuns(instance, code))
        return code;
    InstallContext context;
    context.initLanguage();
    if (maxHoldsClient())
        return Unattended::Refused;
    const QString product = Uninstallation::run(context, context.recordName, [](int) {});
    Uninstallation::startSelfRemoval(product);
    // Registry values and shortcuts are gone, but a folder we would not delete is a failure a
    // script must be able to see.
    return product.isEmpty() ? Unattended::Failed : Unattended::Done;
}

} // namespace

int main(int argc, char **argv)
{
    AppStart::prepare(argc, argv, QStringLiteral("uninstall"));
    if (Unattended::isOn())
        return uninstallUnattended(argc, argv);

    SingleApp app(argc, argv);
    int code = 0;
    if (AppStart::anotherRuns(app, code))
        return code;
    {
        InstallContext context;
        context.initLanguage();
        if (maxHoldsClient())
            return 0;
    }
    AppStart::setFont();
    Widget w;
    w.show();
    return app.exec();
}
