// vx-services: a loopback stand-in for the channel and survey services, for the demo.
// Prints each request it receives; answers the reason list with a few reasons.
#include "fakehttp.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TestSupport::FakeHttp service;
    service.reply("/cms/uninstallReason/getPresentByType", 200,
                  R"({"rows":[{"id":11,"order":1,"reason":"渲染速度慢"},{"id":12,"order":2,"reason":"价格太高"},)"
                  R"({"id":13,"order":3,"reason":"不常使用"},{"id":14,"order":4,"reason":"换用其他软件"}]})");
    QObject::connect(&service, &TestSupport::FakeHttp::received, [&service] {
        const TestSupport::HttpRequest &r = service.requests.last();
        std::printf("service received: %s %s %s\n", r.method.constData(), r.target.constData(), r.body.constData());
        std::fflush(stdout);
    });
    std::printf("%s\n", qPrintable(service.base()));
    std::fflush(stdout);
    return app.exec();
}
