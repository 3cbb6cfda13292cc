// The delaying relay on its own, so that any build of toplu-ekle (an older
// one included) can be pointed at a server "far away":
//   bench_relay --listen 14330 --to 127.0.0.1:1433 --delay-ms 10
//   toplu-ekle urunler.xlsx --connection "Data Source=127.0.0.1,14330;..."
// Each connection's request count (its round trips) is printed when it closes.

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

#include "DelayRelay.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Forwards TCP connections on loopback to a server, "
                                                    "delaying every answer of the server."));
    parser.addHelpOption();
    const QCommandLineOption listen(QStringLiteral("listen"), QStringLiteral("Loopback port to listen on."),
                                    QStringLiteral("port"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("The server, host:port."), QStringLiteral("address"));
    const QCommandLineOption delay(QStringLiteral("delay-ms"), QStringLiteral("Delay of each answer, in milliseconds."),
                                   QStringLiteral("ms"), QStringLiteral("0"));
    parser.addOptions({listen, to, delay});
    parser.process(app);

    bool portOk = false;
    bool targetOk = false;
    bool delayOk = false;
    const quint16 listenPort = parser.value(listen).toUShort(&portOk);
    const QString target = parser.value(to);
    const quint16 targetPort = target.section(u':', -1).toUShort(&targetOk);
    const int delayMs = parser.value(delay).toInt(&delayOk);
    if (!portOk || !targetOk || !target.contains(u':') || !delayOk || delayMs < 0) {
        std::fprintf(stderr, "usage: bench_relay --listen PORT --to HOST:PORT [--delay-ms N]\n");
        return 64;
    }
    DelayRelay relay(target.section(u':', 0, -2), targetPort, delayMs);
    relay.onConnectionClosed([&relay](quint64 requests) {
        std::printf("connection closed: %llu requests (all connections: %llu)\n",
                    static_cast<unsigned long long>(requests), static_cast<unsigned long long>(relay.requests()));
        std::fflush(stdout);
    });
    if (!relay.listen(listenPort)) {
        std::fprintf(stderr, "cannot listen on 127.0.0.1:%u: %s\n", unsigned(listenPort), qPrintable(relay.error()));
        return 1;
    }
    std::printf("relaying 127.0.0.1:%u -> %s, answers %d ms later\n", unsigned(relay.port()), qPrintable(target), delayMs);
    std::fflush(stdout);
    return app.exec();
}
