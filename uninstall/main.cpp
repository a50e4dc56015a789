#include "appstart.h"
#include "basewidget.h"
#include "singleapp.h"

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
    return 0;
}
