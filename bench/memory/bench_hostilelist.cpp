// Hostile update lists cost memory within a small multiple of their size: prints the process's
// peak memory after four hostile downloads, and exits with 1 when it reaches 256 MiB. A program
// of its own, so that the peak is that of these downloads alone.
#include "core/updater/CUpdateList.h"
#include "support/LoopbackServer.h"
#include "support/UpdaterTestSupport.h"

#include <cstdio>
#include <QCoreApplication>
#include <sys/resource.h>

using namespace korvane;

namespace {

constexpr qsizetype kHostileBytes = 24 << 20;
constexpr long kPeakLimitKiB = 256 * 1024;

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    std::puts("skipped: a sanitizer's own memory hides the program's");
    return 0;
#endif
    QCoreApplication app(argc, argv);
    // Two billion records claimed, then one record of an unknown version per byte; as many
    // records as allowed, the same way; a name claiming 4 GB with a length; a name claiming
    // 60 MiB without one, which the list waits for until the body ends.
    using testsupport::ListHeader, testsupport::NameClaim;
    const QList<std::pair<QByteArray, bool>> lists = {
        {ListHeader(0x7FFFFFFF), true},
        {ListHeader(100000), true},
        {ListHeader(1) + NameClaim(0xFFFFFFFE), true},
        {ListHeader(1) + NameClaim(60 << 20), false},
    };
    const long before = PeakKiB();
    for (const auto& [head, announceLength] : lists) {
        LoopbackServer server;
        QByteArray body =
            head + QByteArray(kHostileBytes - head.size(), head.size() > 11 ? 'a' : '\x02');
        server.SetRoute("/list", {200, body, body.size(), announceLength});
        CUpdateList updates;
        (void)updates.DownloadList(server.Url("/list"));
    }
    const long peak = PeakKiB();
    std::printf("peak %ld KiB (%ld KiB before the downloads, each served from a 24 MiB body)\n",
                peak, before);
    return peak < kPeakLimitKiB ? 0 : 1;
}
