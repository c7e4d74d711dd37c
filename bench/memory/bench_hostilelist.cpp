// Hostile update lists and files cost memory within a small multiple of what is kept of them:
// prints the process's peak memory after the hostile downloads, and exits with 1 when it reaches
// 256 MiB or a refusal is slow. A program of its own, so that the peak is that of these downloads
// alone.
#include "core/updater/CUpdateList.h"
#include "support/LoopbackServer.h"
#include "support/TestTree.h"
#include "support/UpdaterTestSupport.h"

#include <cstdio>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <sys/resource.h>

using namespace korvane;

namespace {

constexpr qsizetype kHostileBytes = 24 << 20;
constexpr qint64 kEndlessBytes = 1536LL << 20; // sent from a 1 MiB body that repeats
constexpr long kPeakLimitKiB = 256 * 1024;
constexpr qint64 kRefusalLimitMs = 5000;

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A body without a length, in chunks or as HTTP/1.0 until the connection closes.
LoopbackServer::Route Endless(const QByteArray& head, bool chunked)
{
    LoopbackServer::Route route{200, head + QByteArray((1 << 20) - head.size(), 'a'), kEndlessBytes,
                                false};
    route.chunked = chunked;
    route.http10 = !chunked;
    return route;
}

// Downloads that must be refused long before their end: false when one took too long.
bool RefusesEndlessBodies()
{
    using testsupport::ListHeader, testsupport::NameClaim;
    LoopbackServer server;
    const QByteArray head = ListHeader(1) + NameClaim(60 << 20);
    server.SetRoute("/chunked.upd", Endless(head, true));
    server.SetRoute("/http10.upd", Endless(head, false));
    server.SetRoute("/big.cs", Endless({}, true));
    bool bPrompt = true;
    const auto timed = [&bPrompt](const char* name, const auto& download) {
        QElapsedTimer clock;
        clock.start();
        download();
        std::printf("%s: refused after %lld ms, peak so far %ld KiB\n", name,
                    static_cast<long long>(clock.elapsed()), PeakKiB());
        bPrompt = bPrompt && clock.elapsed() < kRefusalLimitMs;
    };
    for (const char* path : {"/chunked.upd", "/http10.upd"}) {
        timed(path, [&] {
            CUpdateList updates;
            (void)updates.DownloadList(server.Url(path));
        });
    }
    timed("/big.cs for a file of 504 bytes", [&] {
        TestTree tree;
        tree.MakeFolder("storage");
        const auto updates = testsupport::ListOf(
            testsupport::MakeUpdate("Big", "storage\\", server.Url("/"), {{"big.cs", "", 504}}));
        (void)updates->InstallUpdate(0, tree.Folder(), nullptr);
    });
    return bPrompt;
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
    std::printf("peak %ld KiB (%ld KiB before the downloads, each served from a 24 MiB body)\n",
                PeakKiB(), before);
    // 1.5 GiB without a length: a list that waits for a 60 MiB name, and a file's answer.
    const bool bPrompt = RefusesEndlessBodies();
    const long peak = PeakKiB();
    std::printf("peak %ld KiB after the bodies of 1.5 GiB\n", peak);
    return peak < kPeakLimitKiB && bPrompt ? 0 : 1;
}
