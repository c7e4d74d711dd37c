#include "core/updater/CUpdateList.h"
#include "support/UpdaterTestSupport.h"

#include <QtTest>

using namespace korvane;

using testsupport::ListBytes;
using testsupport::MakeUpdate;
using ListStatus = CUpdateListReader::Status;

Q_DECLARE_METATYPE(std::string)

namespace {

std::string Hex(const char* hex)
{
    return QByteArray::fromHex(hex).toStdString();
}

// Plug-in Sniper 1.2 in storage\, base URL of 14 characters, sniper.cs of 300 bytes.
std::string SniperRecord()
{
    return Hex("01") + "\x06Sniper\x08storage\\\x0Ehttp://k.nt/u/" + Hex("0100") + "\x09sniper.cs" +
           Hex("00 2C010000 01 02");
}

std::string Header(const char* countHex)
{
    return Hex("555044415445 01") + Hex(countHex);
}

} // namespace

class tst_UpdateListFormat : public QObject
{
    Q_OBJECT

private slots:
    void sniperListIsWrittenAndReadByteForByte()
    {
        const std::string bytes = Header("01000000") + SniperRecord();
        QCOMPARE(ListBytes(MakeUpdate("Sniper", "storage\\", "http://k.nt/u/",
                                      {{"sniper.cs", "", 300}}, 1, 2)),
                 bytes);
        CUpdateList list;
        QCOMPARE(list.Load(bytes), ListStatus::Complete);
        QCOMPARE(ListBytes(list), bytes);
    }

    void lengthsAndCountsKeepTheirPrefixes_data()
    {
        QTest::addColumn<int>("nameLength");
        QTest::addColumn<int>("fileCount");
        QTest::addColumn<int>("offset");
        QTest::addColumn<std::string>("prefix");
        QTest::newRow("254-character name") << 254 << 0 << 12 << Hex("FE");
        QTest::newRow("255-character name") << 255 << 0 << 12 << Hex("FFFF00");
        QTest::newRow("65534-character name") << 0xFFFE << 0 << 12 << Hex("FFFFFFFEFF0000");
        QTest::newRow("65534 files") << 1 << 65534 << 16 << Hex("FEFF");
        QTest::newRow("65535 files") << 1 << 65535 << 16 << Hex("FFFFFFFF0000");
    }

    void lengthsAndCountsKeepTheirPrefixes()
    {
        QFETCH(int, nameLength);
        QFETCH(int, fileCount);
        QFETCH(int, offset);
        QFETCH(std::string, prefix);
        const std::vector<CUpdateFileInfo> files(size_t(fileCount), {"f.cs", "a\\", 7});
        const std::string bytes =
            ListBytes(MakeUpdate(std::string(size_t(nameLength), 'n'), "", "", files));
        QCOMPARE(bytes.substr(size_t(offset), prefix.size()), prefix);
        CUpdateList list;
        QCOMPARE(list.Load(bytes), ListStatus::Complete);
        QCOMPARE(ListBytes(list), bytes);
    }

    void readingEndsAsTheBytesAllow_data()
    {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<ListStatus>("status");
        QTest::addColumn<int>("records");
        const auto row = [](const char* name, const std::string& bytes, ListStatus status,
                            int records = 0) { QTest::newRow(name) << bytes << status << records; };
        const std::string sniper = SniperRecord();
        // clang-format off
        row("magic in small letters", "update" + Header("01000000").substr(6) + sniper, ListStatus::NotAList);
        row("list version 2", Hex("555044415445 02 01000000") + sniper, ListStatus::NotAList);
        row("no records", Header("00000000"), ListStatus::NotAList);
        row("negative count", Header("FFFFFFFF") + sniper, ListStatus::NotAList);
        row("shorter than the magic", "UPDAT", ListStatus::NotAList);
        row("only the magic", "UPDATE", ListStatus::EndsEarly);
        row("last byte missing", Header("01000000") + sniper.substr(0, sniper.size() - 1), ListStatus::EndsEarly);
        row("two billion records claimed", Header("00943577") + sniper, ListStatus::TooLarge);
        row("4 GiB name claimed", Header("01000000") + Hex("01 FF FFFF FEFFFFFF") + "abc", ListStatus::TooLarge);
        row("four billion files claimed", Header("01000000") + Hex("01 000000 FFFF FEFFFFFF 0178"), ListStatus::TooLarge);
        row("100,000 records, each of an unknown version", Header("A0860100") + std::string(100000, '\x02'), ListStatus::Complete, 100000);
        row("UTF-16 name", Header("01000000") + Hex("01 FF FEFF 02 4100 4200"), ListStatus::Unreadable);
        row("record of version 2, then a record", Header("02000000") + Hex("02") + sniper, ListStatus::Complete, 2);
        row("bytes after the last record", Header("01000000") + sniper + "junk", ListStatus::Complete, 1);
        // clang-format on
    }

    void readingEndsAsTheBytesAllow()
    {
        QFETCH(std::string, bytes);
        QFETCH(ListStatus, status);
        QFETCH(int, records);
        CUpdateList list;
        list.m_arrUpdates.push_back(MakeUpdate("stale", "", ""));
        QCOMPARE(list.Load(bytes), status);
        QCOMPARE(list.GetSize(), records);
        if (records == 2) { // the unknown record stays empty, the next one is read whole
            QCOMPARE(list.GetAt(0).m_strUpdateName + list.GetAt(0).VersionText(),
                     std::string("0.0"));
            QCOMPARE(list.GetAt(1).m_strUpdateName + list.GetAt(1).VersionText(),
                     std::string("Sniper1.2"));
        }
    }

    void listArrivingInPiecesReadsAsTheWholeList()
    {
        CUpdateList original;
        for (int i = 0; i < 40; ++i)
            original.m_arrUpdates.push_back(MakeUpdate(
                std::string(size_t(i * 9), 'n'), "storage\\", "http://h/",
                std::vector<CUpdateFileInfo>(size_t(i % 4), {"f", "s\\", 9}), std::uint8_t(i), 7));
        const std::string bytes = ListBytes(original);
        for (const size_t piece : {size_t(1), size_t(7), size_t(4096)}) {
            CUpdateListReader reader;
            for (size_t at = 0; at < bytes.size(); at += piece)
                QCOMPARE(reader.Feed(std::string_view(bytes).substr(at, piece)),
                         at + piece < bytes.size());
            CUpdateList read;
            read.m_arrUpdates = reader.TakeUpdates();
            QCOMPARE(ListBytes(read), bytes);
        }
    }
};

QTEST_GUILESS_MAIN(tst_UpdateListFormat)
#include "tst_UpdateListFormat.moc"
