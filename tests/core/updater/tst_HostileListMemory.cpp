// Hostile update lists cost memory within a small multiple of their size. A program of its own,
// so that the process's peak memory is that of these downloads alone.
#include "support/LoopbackServer.h"
#include "core/updater/CUpdateList.h"

#include <QtTest>
#include <sys/resource.h>

namespace {

constexpr qsizetype kHostileBytes = 24 << 20;
constexpr long kPeakLimitKiB = 256 * 1024;

QByteArray Header(quint32 count)
{
    QByteArray header("UPDATE\x01", 7);
    for (int i = 0; i < 4; ++i)
        header += char(count >> (8 * i));
    return header;
}

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class tst_HostileListMemory : public QObject
{
    Q_OBJECT

private slots:
    void hostileListsPeakUnder256MB()
    {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        QSKIP("a sanitizer's own memory hides the program's");
#endif
        const auto fill = [](QByteArray head, char byte) {
            return head + QByteArray(kHostileBytes - head.size(), byte);
        };
        // Two billion records claimed, then one record of an unknown version per byte; as many
        // records as allowed, the same way; a name claiming 4 GB with a length; a name claiming
        // 60 MiB without one, which the list waits for until the body ends.
        const auto claim = [](quint32 length) {
            QByteArray bytes = Header(1) + QByteArray("\x01\xFF\xFF\xFF", 4);
            for (int i = 0; i < 4; ++i)
                bytes += char(length >> (8 * i));
            return bytes;
        };
        const QList<std::pair<QByteArray, bool>> lists = {
            {Header(0x7FFFFFFF), true},
            {Header(100000), true},
            {claim(0xFFFFFFFE), true},
            {claim(60 << 20), false},
        };
        const long before = PeakKiB();
        for (const auto& [head, bLength] : lists) {
            LoopbackServer server;
            const QByteArray body = fill(head, head.size() > 11 ? 'a' : '\x02');
            server.SetRoute("/list", {200, body, body.size(), bLength});
            CUpdateList updates;
            (void)updates.DownloadList(server.Url("/list"));
        }
        const long peak = PeakKiB();
        qInfo("peak %ld KiB (%ld KiB before the downloads, each served from a 24 MiB body)", peak,
              before);
        QVERIFY2(peak < kPeakLimitKiB, qPrintable(QString("peak %1 KiB").arg(peak)));
    }
};

QTEST_GUILESS_MAIN(tst_HostileListMemory)
#include "tst_HostileListMemory.moc"
