#include "DelayRelay.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTimer>

#include <deque>
#include <utility>

namespace {

// TDS packet header: type, status (bit 0 ends a message), length (big
// endian, header included), then four more bytes.
constexpr int kTdsHeader = 8;
constexpr char kEndOfMessage = 0x01;

// Counts the TDS messages in the client's byte stream, packet by packet.
class MessageCounter {
public:
    // The messages that `bytes` ends.
    int feed(const QByteArray &bytes)
    {
        m_pending += bytes;
        int ended = 0;
        while (m_pending.size() >= kTdsHeader) {
            const int length = (quint8(m_pending.at(2)) << 8) | quint8(m_pending.at(3));
            if (length < kTdsHeader) {
                // Not TDS framing (an encrypted stream): nothing more to count.
                m_pending.clear();
                break;
            }
            if (m_pending.size() < length)
                break;
            if (m_pending.at(1) & kEndOfMessage)
                ++ended;
            m_pending.remove(0, length);
        }
        return ended;
    }

private:
    QByteArray m_pending;
};

// One client's connection and its connection to the server. The server's
// bytes wait in a queue until their time has come, so that their order is
// kept whatever the timers do.
class Link : public QObject {
public:
    Link(QTcpSocket *client, const QString &host, quint16 port, const std::atomic<int> &delayMs,
         std::atomic<quint64> &requests, std::function<void(quint64)> closed)
        : m_client(client), m_delayMs(delayMs), m_requests(requests), m_closed(std::move(closed))
    {
        m_client->setParent(this);
        m_server.setParent(this);
        m_client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &Link::release);
        connect(m_client, &QTcpSocket::readyRead, this, &Link::fromClient);
        connect(&m_server, &QTcpSocket::connected, this, [this] {
            m_server.setSocketOption(QAbstractSocket::LowDelayOption, 1);
            m_server.write(m_early);
            m_early.clear();
        });
        connect(&m_server, &QTcpSocket::readyRead, this, &Link::fromServer);
        connect(m_client, &QTcpSocket::disconnected, this, &Link::close);
        connect(&m_server, &QTcpSocket::disconnected, this, &Link::close);
        connect(&m_server, &QTcpSocket::errorOccurred, this, &Link::close);
        m_server.connectToHost(host, port);
    }

private:
    void fromClient()
    {
        const QByteArray bytes = m_client->readAll();
        const int ended = m_counter.feed(bytes);
        m_requests += quint64(ended);
        m_mine += quint64(ended);
        if (m_server.state() == QAbstractSocket::ConnectedState)
            m_server.write(bytes);
        else
            m_early += bytes;
    }

    void fromServer()
    {
        const int delayMs = m_delayMs.load();
        m_queue.emplace_back(QDeadlineTimer(delayMs, Qt::PreciseTimer), m_server.readAll());
        if (!m_timer.isActive())
            release();
    }

    // Writes what is due, then waits for the next piece.
    void release()
    {
        while (!m_queue.empty() && m_queue.front().first.hasExpired()) {
            m_client->write(m_queue.front().second);
            m_queue.pop_front();
        }
        if (!m_queue.empty())
            m_timer.start(int(m_queue.front().first.remainingTime()));
    }

    // Once: what the server sent last still reaches the client first.
    void close()
    {
        if (m_closing)
            return;
        m_closing = true;
        m_timer.stop();
        for (const auto &[due, bytes] : m_queue)
            m_client->write(bytes);
        m_queue.clear();
        if (m_closed)
            m_closed(m_mine);
        m_client->disconnectFromHost();
        m_server.disconnectFromHost();
        deleteLater();
    }

    QTcpSocket *m_client;
    QTcpSocket m_server;
    QByteArray m_early;  // what the client sent before the server's connection was up
    QTimer m_timer;
    std::deque<std::pair<QDeadlineTimer, QByteArray>> m_queue;
    MessageCounter m_counter;
    const std::atomic<int> &m_delayMs;
    std::atomic<quint64> &m_requests;
    quint64 m_mine = 0;  // this connection's requests
    std::function<void(quint64)> m_closed;
    bool m_closing = false;
};

}  // namespace

DelayRelay::DelayRelay(QString host, quint16 port, int delayMs, QObject *parent)
    : QObject(parent), m_host(std::move(host)), m_targetPort(port), m_delayMs(delayMs)
{
    connect(&m_server, &QTcpServer::newConnection, this, &DelayRelay::accept);
}

bool DelayRelay::listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

void DelayRelay::accept()
{
    while (QTcpSocket *client = m_server.nextPendingConnection())
        new Link(client, m_host, m_targetPort, m_delayMs, m_requests, m_closed);
    // Links delete themselves when either side closes.
}
