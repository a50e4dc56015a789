#include "fakeupdateserver.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

class FakeUpdateEngine : public QTcpServer
{
public:
    explicit FakeUpdateEngine(FakeUpdateServer::State *state)
        : state(state)
    {
    }
    ~FakeUpdateEngine() override
    {
        const QList<QTcpSocket *> sockets = findChildren<QTcpSocket *>();
        for (QTcpSocket *socket : sockets) {
            socket->disconnect(this);
            delete socket;
        }
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QTcpSocket(this);
        socket->setSocketDescriptor(descriptor);
        {
            QMutexLocker lock(&state->mutex);
            ++state->connections;
        }
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { handle(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] {
            buffers.remove(socket);
            stalled.remove(socket);
        });
    }

private:
    static void respond(QTcpSocket *socket, int status, const QByteArray &body, int sendBytes = -1)
    {
        const QByteArray reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Internal Server Error";
        QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Length: "
                          + QByteArray::number(body.size())
                          + "\r\nContent-Type: application/octet-stream\r\nConnection: keep-alive\r\n\r\n";
        socket->write(head);
        socket->write(sendBytes < 0 ? body : body.left(sendBytes));
    }

    void handle(QTcpSocket *socket)
    {
        QByteArray &buffer = buffers[socket];
        buffer += socket->readAll();
        for (;;) {
            const int end = buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = buffer.left(end);
            buffer.remove(0, end + 4);
            if (stalled.contains(socket))
                continue;
            const QList<QByteArray> line = head.left(head.indexOf("\r\n")).split(' ');
            answer(socket, line.size() > 1 ? QString::fromUtf8(line.at(1)) : QString());
        }
    }

    void answer(QTcpSocket *socket, const QString &target)
    {
        const QUrl url(target);
        const QUrlQuery query(url);
        const QString version = query.queryItemValue(QStringLiteral("version"), QUrl::FullyDecoded);
        QMutexLocker lock(&state->mutex);
        state->requests << target;
        const FakeUpdateServer::Fault fault = state->fault;
        if (url.path() == QLatin1String("/getVersionFile.htm")) {
            if (fault == FakeUpdateServer::Fault::ManifestStall) {
                stalled.insert(socket);
                return;
            }
            if (fault == FakeUpdateServer::Fault::ManifestStatus)
                return respond(socket, 500, "broken");
            if (state->manifestSet)
                return respond(socket, 200, state->manifest);
            QFile file(state->published + QStringLiteral("/manifests/") + version + QStringLiteral(".xml"));
            if (!file.open(QIODevice::ReadOnly))
                return respond(socket, 404, "no such version");
            return respond(socket, 200, file.readAll());
        }
        if (url.path() == QLatin1String("/getVersionStream.htm")) {
            const QString path = query.queryItemValue(QStringLiteral("path"), QUrl::FullyDecoded);
            state->fileRequests << path;
            for (const QString &suffix : qAsConst(state->failing)) {
                if (path.endsWith(suffix))
                    return respond(socket, 500, "broken");
            }
            if (fault == FakeUpdateServer::Fault::FileStatus)
                return respond(socket, 500, "broken");
            const QString base = QDir::cleanPath(state->published + QStringLiteral("/files/") + version);
            const QString file = QDir::cleanPath(base + QLatin1Char('/') + path);
            QFile source(file);
            if (!file.startsWith(base + QLatin1Char('/')) || !source.open(QIODevice::ReadOnly))
                return respond(socket, 404, "no such file");
            QByteArray body = source.readAll();
            if (fault == FakeUpdateServer::Fault::FileStall) {
                stalled.insert(socket);
                return respond(socket, 200, body, body.size() / 2);
            }
            if (fault == FakeUpdateServer::Fault::WrongBytes && !body.isEmpty())
                body[body.size() / 2] = static_cast<char>(body.at(body.size() / 2) ^ 0x20);
            return respond(socket, 200, body);
        }
        respond(socket, 404, "unknown");
    }

    FakeUpdateServer::State *state;
    QHash<QTcpSocket *, QByteArray> buffers;
    QSet<QTcpSocket *> stalled;
};

FakeUpdateServer::FakeUpdateServer(const QString &publishedDir)
{
    state.published = publishedDir;
    engine = new FakeUpdateEngine(&state);
    engine->moveToThread(&thread);
    thread.start();
    QMetaObject::invokeMethod(
        engine,
        [this] {
            engine->listen(QHostAddress::LocalHost, 0);
            listening = engine->serverPort();
        },
        Qt::BlockingQueuedConnection);
}

FakeUpdateServer::~FakeUpdateServer()
{
    QMetaObject::invokeMethod(engine, [this] { delete engine; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

quint16 FakeUpdateServer::port() const
{
    return listening;
}

QString FakeUpdateServer::base() const
{
    return QStringLiteral("http://127.0.0.1:") + QString::number(listening);
}

void FakeUpdateServer::setPublishedDir(const QString &dir)
{
    QMutexLocker lock(&state.mutex);
    state.published = dir;
}

void FakeUpdateServer::setFault(Fault fault)
{
    QMutexLocker lock(&state.mutex);
    state.fault = fault;
}

void FakeUpdateServer::failFile(const QString &pathSuffix)
{
    QMutexLocker lock(&state.mutex);
    state.failing.insert(pathSuffix);
}

void FakeUpdateServer::setManifest(const QByteArray &xml)
{
    QMutexLocker lock(&state.mutex);
    state.manifest = xml;
    state.manifestSet = true;
}

QStringList FakeUpdateServer::requests() const
{
    QMutexLocker lock(&state.mutex);
    return state.requests;
}

QStringList FakeUpdateServer::fileRequests() const
{
    QMutexLocker lock(&state.mutex);
    return state.fileRequests;
}

int FakeUpdateServer::connections() const
{
    QMutexLocker lock(&state.mutex);
    return state.connections;
}
