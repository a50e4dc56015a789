#pragma once

// A small HTTP/1.1 service on 127.0.0.1 that records what it receives and answers with canned
// replies; it runs in the test's event loop.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace TestSupport {

struct HttpRequest
{
    QByteArray method;
    QByteArray target;   // path and query as sent
    QHash<QByteArray, QByteArray> headers;   // lower-case names
    QByteArray body;
};

class FakeHttp : public QObject
{
    Q_OBJECT
public:
    explicit FakeHttp(QObject *parent = nullptr)
        : QObject(parent)
    {
        connect(&server, &QTcpServer::newConnection, this, &FakeHttp::accept);
        server.listen(QHostAddress::LocalHost, 0);
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()); }
    // The reply for requests whose path (without query) is this one.
    void reply(const QByteArray &path, int status, const QByteArray &body)
    {
        replies.insert(path, {status, body});
    }
    QList<HttpRequest> requests;

signals:
    void received();

private:
    struct Canned
    {
        int status;
        QByteArray body;
    };

    void accept()
    {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void serve(QTcpSocket *socket)
    {
        QByteArray &buffer = pending[socket];
        buffer += socket->readAll();
        for (;;) {
            const int end = buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            HttpRequest request;
            const QList<QByteArray> lines = buffer.left(end).split('\n');
            const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
            request.method = first.value(0);
            request.target = first.value(1);
            for (int i = 1; i < lines.size(); ++i) {
                const int colon = lines[i].indexOf(':');
                if (colon > 0)
                    request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
            }
            const int length = request.headers.value("content-length").toInt();
            if (buffer.size() < end + 4 + length)
                return;
            request.body = buffer.mid(end + 4, length);
            buffer.remove(0, end + 4 + length);
            requests << request;
            const QByteArray path = request.target.left(request.target.indexOf('?') < 0
                                                            ? request.target.size()
                                                            : request.target.indexOf('?'));
            const Canned canned = replies.value(path, {200, QByteArray("{}")});
            socket->write("HTTP/1.1 " + QByteArray::number(canned.status) + " X\r\nContent-Length: "
                          + QByteArray::number(canned.body.size()) + "\r\nContent-Type: application/json\r\n\r\n"
                          + canned.body);
            emit received();
        }
    }

    QTcpServer server;
    QHash<QByteArray, Canned> replies;
    QHash<QTcpSocket *, QByteArray> pending;
};

} // namespace TestSupport
