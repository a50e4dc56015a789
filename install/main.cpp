#include "appstart.h"
#include "singleapp.h"
#include "startup.h"

int main(int argc, char **argv)
{
    AppStart::prepare(argc, argv, QStringLiteral("install"));
    SingleApp app(argc, argv);
    return runInstaller(app);
}
