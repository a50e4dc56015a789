#include "appstart.h"
#include "basewidget.h"
#include "core/unattended.h"
#include "edition.h"
#include "msgbox.h"
#include "singleapp.h"
#include "widget.h"

int main(int argc, char **argv)
{
    AppStart::prepare(argc, argv, QStringLiteral("uninstall"));
    SingleApp app(argc, argv);
    int code = 0;
    if (AppStart::anotherRuns(app, code))
        return code;
    AppStart::setFont();
    BaseWidget context;
    context.initLanguage();

    // Corvanta's client does not plug into 3ds Max, so a running 3ds Max holds nothing of it.
    if (editionClass(BaseWidget::third) != EditionClass::Corvanta
        && BaseWidget::existProcess(QStringLiteral("3dsmax.exe"))) {
        MsgTool::information(BaseWidget::isZh ? QStringLiteral("请先关闭max，再卸载客户端！")
                                              : QStringLiteral("Pleace close max first and uninstall client!"));
        return Unattended::isOn() ? Unattended::Refused : 0;
    }

    Widget w;
    if (Unattended::isOn()) {
        // The same removal without a window or a survey; closing starts the self-removal.
        w.doUninstall();
        w.close();
        // Registry values and shortcuts are gone, but a folder we would not delete is a failure
        // a script must be able to see.
        return w.productFolder().isEmpty() ? Unattended::Failed : Unattended::Done;
    }
    w.show();
    return app.exec();
}
