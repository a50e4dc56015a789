#pragma once

// Every window builds an installation context when it is created; this gives it one: a fresh
// machine root and a program folder holding VX.ini.
#include "core/installcontext.h"
#include "testroot.h"

#include <memory>

class WindowContext
{
public:
    explicit WindowContext(bool chinese = true)
    {
        TestSupport::Edition edition;
        edition.lang = chinese ? QStringLiteral("zh_cn") : QStringLiteral("en_us");
        TestSupport::writeEditionFile(program.path(), edition);
        InstallContext::overrideProgramDir(program.path());
        InstallContext::isZh = chinese;
    }
    ~WindowContext()
    {
        InstallContext::overrideProgramDir(QString());
        InstallContext::isZh = true;
    }
    Q_DISABLE_COPY(WindowContext)

private:
    TestSupport::MachineRoot root;
    QTemporaryDir program;
};
