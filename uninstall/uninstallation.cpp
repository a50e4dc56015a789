#include "uninstallation.h"

#include "core/fileops.h"
#include "core/installcontext.h"
#include "core/maxdiscovery.h"
#include "core/procutil.h"
#include "core/regkeys.h"
#include "core/unattended.h"
#include "core/xfunc.h"
#include "edition.h"
#include "platform/launcher.h"
#include "removal.h"

#include <QDebug>

namespace Uninstallation {

QString run(InstallContext &context, const QString &record, const std::function<void(int)> &progress)
{
    const QString &exe = InstallContext::exe;
    const QString &third = InstallContext::third;
    progress(10);

    if (ProcUtil::existProcess(exe))
        ProcUtil::killProcess(exe);
    progress(25);

    QString why;
    const QString product = Removal::productFolderOf(context.installDir, record, &why);
    if (product.isEmpty()) {
        qWarning() << "installation directory left in place:" << context.installDir << why;
        if (Unattended::isOn() && !context.installDir.isEmpty())
            Unattended::tell(QStringLiteral("The installation folder \"%1\" was left in place: %2.")
                                 .arg(context.installDir, why));
    }
    const QString version = Removal::cleanFolder(context.installDir);

    // Shortcuts carry the name in the interface's language.
    const QString &displayName = InstallContext::isZh ? context.name : context.nameEN;
    for (const QString &shortcut : Removal::shortcutPaths(context.programsPath(), context.desktopPath(),
                                                          displayName, third, InstallContext::isZh))
        Removal::removeShortcut(shortcut);

    // The client is only started from a folder that passed the check.
    if (editionClass(third) == EditionClass::Corvanta && !product.isEmpty())
        Removal::runUnityDel(version, exe);
    progress(40);

    if (!product.isEmpty())
        FileOps::remove(version, FileOps::Traced);
    Removal::removeInstallationRecord(*context.uninstallReg, record);
    progress(70);

    Removal::removeAutorun(*context.runReg, exe);
    Removal::removeMakerKey(*context.makerReg, record);

    if (editionClass(third) != EditionClass::Corvanta) {
        Removal::removeMaxScripts(MaxDiscovery::allMaxPath());
        Removal::removeSketchUpPlugin(
            XFunc::regValue(RegKeys::shellFolders(), QStringLiteral("AppData")).toString());
    }

    progress(100);
    return product;
}

void startSelfRemoval(const QString &productFolder)
{
    if (productFolder.isEmpty()) {
        qDebug() << "no batch: no product folder of ours to remove";
        return;
    }
    const QString batch = Removal::batchPath();
    if (!Removal::writeBatch(batch, productFolder))
        return;
    if (!Platform::runBatchDetached(batch))
        qWarning() << "cannot start" << batch;
}

} // namespace Uninstallation
