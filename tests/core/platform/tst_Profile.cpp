#include "core/platform/CProfile.h"

#include <map>
#include <QtTest>
#include <thread>

using namespace korvane;

class tst_Profile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString File() const { return m_dir.filePath("profile.ini"); }

private slots:
    // Separators, quotes, blanks and non-ASCII text survive, and are seen at once by another
    // profile object; an entry read as the other type reads sensibly.
    void writesAreStoredAtOnceAsTheyWere()
    {
        const std::map<std::string, std::string> values = {{"Korvane", "/games/k\xc3\xb6rvane/"},
                                                           {"Mods", "korvane\\alpha\\beta"},
                                                           {"ExtraCmdLine", " +exec \"a b\"; x=1 "},
                                                           {"Dedicated", "1"},
                                                           {"Refresh", "yes"}};
        const CProfile writer = CProfile::AtFile(File());
        // Reading what was never written gives the default and creates nothing.
        QCOMPARE(writer.GetProfileInt("Options", "RefreshPlugins", 1), 1);
        QVERIFY(!QFile::exists(File()));
        for (const auto& [key, value] : values)
            QVERIFY(writer.WriteProfileString("QuickExec", key, value));
        const CProfile reader = CProfile::AtFile(File());
        for (const auto& [key, value] : values)
            QCOMPARE(reader.GetProfileString("QuickExec", key), value);
        QCOMPARE(reader.GetProfileInt("QuickExec", "Dedicated", 0), 1);
        QCOMPARE(reader.GetProfileInt("QuickExec", "Refresh", 7), 7);
    }

    void handEditedTextReadsAsWritten_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("comma") << QByteArray("URL=http://host/a,b.upd") << "http://host/a,b.upd";
        QTest::newRow("two commas") << QByteArray("URL=a,b,c") << "a,b,c";
        QTest::newRow("trailing comma") << QByteArray("URL=a,") << "a,";
        QTest::newRow("quoted") << QByteArray("URL=\"a,b\"") << "a,b";
        QTest::newRow("plain") << QByteArray("URL=http://host/list.upd") << "http://host/list.upd";
    }
    void handEditedTextReadsAsWritten()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        // As a player would edit the settings file.
        QFile out(m_dir.filePath("edited.ini"));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write("[Updates]\n" + line + "\n");
        out.close();
        const CProfile profile = CProfile::AtFile(out.fileName());
        QCOMPARE(QString::fromStdString(profile.GetProfileString("Updates", "URL")), text);
        // Written back and read again, the text stays the same.
        QVERIFY(profile.WriteProfileString("Updates", "URL", text.toStdString()));
        QCOMPARE(QString::fromStdString(profile.GetProfileString("Updates", "URL")), text);
    }

    void aSecondThreadReadsWhileTheFirstWrites()
    {
        const CProfile profile = CProfile::AtFile(File());
        profile.WriteProfileString("Directories", "Korvane", "/k/");
        std::atomic<bool> stop{false};
        std::atomic<int> badReads{0};
        std::thread reader([&] {
            while (!stop) {
                const std::string value = profile.GetProfileString("Directories", "Korvane");
                if (value != "/k/" && value != "/other/")
                    ++badReads;
            }
        });
        for (int i = 0; i < 200; ++i)
            profile.WriteProfileString("Directories", "Korvane", i % 2 ? "/k/" : "/other/");
        stop = true;
        reader.join();
        QCOMPARE(badReads.load(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_Profile)
#include "tst_Profile.moc"
