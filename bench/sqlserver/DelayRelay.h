#pragma once
// A TCP relay on loopback that forwards every connection to a server and
// holds each piece of the server's answer back for a fixed time: the network
// latency of a distant server, on one machine. It also counts the requests
// the client sends (TDS messages, whose last packet carries the end-of-message
// flag), which are the round trips a program makes.

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <atomic>
#include <functional>

class QTcpSocket;

class DelayRelay : public QObject {
    Q_OBJECT
public:
    // Forwards to `host`:`port`, delaying the server's answers by `delayMs`.
    DelayRelay(QString host, quint16 port, int delayMs, QObject *parent = nullptr);

    // Listens on loopback at `port` (0: any free port); false with the reason
    // in error() when it cannot.
    bool listen(quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString error() const { return m_server.errorString(); }

    // The requests clients have sent so far, over every connection; safe to
    // read from another thread.
    quint64 requests() const { return m_requests.load(); }
    void setDelayMs(int delayMs) { m_delayMs.store(delayMs); }
    // Called, on the relay's thread, with a connection's requests when it closes.
    void onConnectionClosed(std::function<void(quint64 requests)> report) { m_closed = std::move(report); }

private:
    void accept();

    QString m_host;
    quint16 m_targetPort;
    std::atomic<int> m_delayMs;
    std::atomic<quint64> m_requests{0};
    std::function<void(quint64)> m_closed;
    QTcpServer m_server{this};  // a child, so that it moves to the relay's thread with it
};
