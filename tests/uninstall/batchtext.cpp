// Prints the self-removal batch the uninstaller writes for a product folder, so that it can be run
// by a Windows command processor (wine's cmd in the Windows tests).
#include "removal.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vx_batchtext <product folder>\n");
        return 2;
    }
    const QByteArray text = Removal::batchText(QString::fromLocal8Bit(argv[1]));
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
    return 0;
}
