// The updater's HTTP session on its own; what it makes of misbehaving servers as the updater
// reports it is tried in tst_UpdateList.
#include "core/platform/HttpClient.h"
#include "support/LoopbackServer.h"

#include <QtTest>

using namespace korvane;

class tst_HttpClient : public QObject
{
    Q_OBJECT

private slots:
    // A server that cuts an endless body into chunks of three bytes must not keep its first bytes
    // from a handler that takes three: the handler sees one byte too many at once and refuses,
    // rather than the transfer waiting, and on a busy machine passing for a stall, while Qt
    // gathers a buffer full of such chunks.
    void aBodyTooLongReachesTheHandlerAtOnceInAnyPieces()
    {
        LoopbackServer server;
        LoopbackServer::Route endless{200, "new", 1LL << 40, false};
        endless.chunked = true;
        server.SetRoute("/f.cs", endless);
        for (const std::uint64_t most : {std::uint64_t(0), std::uint64_t(3), std::uint64_t(999)}) {
            HttpClient client;
            std::uint64_t handed = 0;
            qsizetype largest = 0;
            const auto result = client.Get(
                server.Url("/f.cs"), {},
                [&](std::string_view piece) {
                    handed += piece.size();
                    largest = std::max(largest, qsizetype(piece.size()));
                    return handed <= most;
                },
                {}, most);
            QVERIFY(result && result->stopped);
            QVERIFY2(largest <= qsizetype(most + 1), QByteArray::number(largest));
        }
    }
};

QTEST_GUILESS_MAIN(tst_HttpClient)
#include "tst_HttpClient.moc"
