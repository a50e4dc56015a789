#include "appstart.h"

#include "core/log.h"
#include "core/unattended.h"
#include "singleapp.h"

#include <QFont>

namespace AppStart {

void prepare(int argc, char **argv, const QString &program)
{
    installLogHandler(program);
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--silent") == 0)
            Unattended::setOn(true);
    }
    if (Unattended::isOn() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

bool anotherRuns(SingleApp &app, int &exitCode)
{
    return anotherRuns(app.singleInstance(), exitCode);
}

bool anotherRuns(SingleInstance &instance, int &exitCode)
{
    if (!instance.exist())
        return false;
    exitCode = 0;
    if (Unattended::isOn()) {
        Unattended::tell(QStringLiteral("Another installer, updater or uninstaller of the client is running."));
        exitCode = Unattended::Refused;
    }
    return true;
}

void setFont()
{
    QFont font(QStringLiteral("Microsoft Yahei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
}

} // namespace AppStart
