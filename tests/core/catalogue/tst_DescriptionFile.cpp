#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/CPluginList.h"
#include "core/catalogue/DescriptionFile.h"
#include "core/catalogue/TextEncoding.h"
#include "res/Strings.h"
#include "support/FileSizeLimit.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

using descriptionfile::Fields;

namespace {

QString Texts(const CPluginInfo& plugin)
{
    return QString::fromStdString(plugin.m_strName + "|" + plugin.m_strCategory + "|" +
                                  plugin.m_strAuthor + "|" + plugin.m_strDescription);
}

CPluginInfo Blaster()
{
    CPluginInfo plugin("Old Name", "blaster", "Old Category");
    plugin.m_strSubdirectory = "weapons\\";
    return plugin;
}

} // namespace

class tst_DescriptionFile : public QObject
{
    Q_OBJECT

private slots:
    // A description file's bytes and the record a scan reads from them. With fields: the bytes
    // the editor's fields are written as, over the file they replace in whatever letter case;
    // the written record holds what a later scan reads.
    void descriptionFileAndRecord_data()
    {
        QTest::addColumn<QStringList>("fields"); // name, category, author, description
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("record"); // name|category|author|description
        const auto row = [](const char* name, QStringList fields, QByteArray bytes,
                            const char* record) {
            QTest::newRow(name) << fields << bytes << QString(record);
        };
        const QStringList read; // the file is only read
        // clang-format off
        row("keys in any case, values keep later equals", read, "NAME=a=b\r\ncAtEgOrY=Pack\r\n", "a=b|Pack|Unknown|No Description");
        row("every field written", {"Plasma", "Weapon", "Me", "one\ntwo"}, "Name=Plasma\r\nCategory=Weapon\r\nAuthor=Me\r\none\r\ntwo", "Plasma|Weapon|Me|one\ntwo");
        row("nothing written", {"", "", "", ""}, "", "blaster|Unknown|Unknown|No Description");
        row("name line opening the description", {"Good", "", "", "Name=Evil"}, "Name=Good\r\n\r\nName=Evil", "Good|Unknown|Unknown|\nName=Evil");
        row("line break in the name", {"a\nb", "", "", ""}, "Name=a b", "a b|Unknown|Unknown|No Description");
        // clang-format on
    }
    void descriptionFileAndRecord()
    {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, record);
        TestTree tree;
        if (fields.isEmpty()) {
            tree.Write("weapons/blaster.desc.txt", bytes.toStdString());
        } else {
            tree.Write("weapons/Blaster.DESC.TXT", "Name=Old\r\nthe file to replace");
            CPluginInfo plugin = Blaster();
            QVERIFY(descriptionfile::WriteDescription(
                tree.Folder(), plugin,
                {fields[0].toStdString(), fields[1].toStdString(), fields[2].toStdString(),
                 fields[3].toStdString()}));
            QCOMPARE(tree.Names("weapons"), QStringList{"Blaster.DESC.TXT"});
            QCOMPARE(QByteArray::fromStdString(tree.Read("weapons/Blaster.DESC.TXT")), bytes);
            QCOMPARE(Texts(plugin), record);
        }
        CPluginInfo scanned;
        scanned.ReadDescription(tree.Folder("weapons\\"), "blaster");
        QCOMPARE(Texts(scanned), record);
    }

    void failedWriteKeepsTheOldFileAndTheRecord()
    {
        TestTree tree;
        tree.Write("weapons/blaster.desc.txt", "Name=Old");
        CPluginInfo plugin = Blaster();
        {
            const FileSizeLimit limit(8);
            QVERIFY(!descriptionfile::WriteDescription(
                tree.Folder(), plugin, {"New name longer than the limit", "", "", ""}));
        }
        QCOMPARE(Texts(plugin), "Old Name|Old Category|Unknown|No Description");
        QCOMPARE(tree.Read("weapons/blaster.desc.txt"), std::string("Name=Old"));
        QCOMPARE(tree.Names("weapons"), QStringList{"blaster.desc.txt"});
    }

    // Of two description files that differ only in letter case, the one the texts were read from
    // is the one replaced.
    void theFileReadIsTheFileWritten()
    {
        TestTree tree;
        tree.Write("blaster.cs", "");
        tree.Write("BLASTER.desc.txt", "Name=Upper");
        tree.Write("blaster.desc.txt", "Name=Lower");
        CPluginList list;
        list.Rescan(tree.Root());
        CPluginInfo& plugin = *list.Find("blaster");
        const bool upperRead = plugin.m_strName == "Upper";
        QVERIFY(descriptionfile::WriteDescription(tree.Folder(), plugin, {"New", "", "", ""}));
        list.Rescan(tree.Root());
        QCOMPARE(list.Find("blaster")->m_strName, std::string("New"));
        QCOMPARE(tree.Read(upperRead ? "blaster.desc.txt" : "BLASTER.desc.txt"),
                 std::string(upperRead ? "Name=Lower" : "Name=Upper"));
    }

    // Fields the editor does not show stay in the file, where they were.
    void fieldsOfOtherProgramsAreKept()
    {
        TestTree tree;
        tree.Write("weapons/blaster.desc.txt", "Name=Old\r\nVersion=2\r\nAuthor=Me\r\nOld=text");
        CPluginInfo plugin = Blaster();
        QVERIFY(
            descriptionfile::WriteDescription(tree.Folder(), plugin, {"New", "", "Me", "Text"}));
        QCOMPARE(QByteArray::fromStdString(tree.Read("weapons/blaster.desc.txt")),
                 "Name=New\r\nAuthor=Me\r\nVersion=2\r\nOld=text\r\nText");
    }

    // An edited text is stored in the file's own encoding where it can be; untouched texts keep
    // their bytes.
    void editedTextsKeepTheFilesEncoding_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QByteArray>("stored");
        // clang-format off
        QTest::newRow("edit in a single-byte file") << QByteArray("Caf\xe9") << QByteArray("x") << QString::fromUtf8("Cafés €") << QByteArray("Caf\xe9s \x80");
        QTest::newRow("no Windows byte for it") << QByteArray("Caf\xe9") << QByteArray("x") << QString::fromUtf8("Ωmega") << QByteArray("\xce\xa9mega");
        QTest::newRow("edit in a UTF-8 file") << QByteArray("Caf\xc3\xa9") << QByteArray("x") << QString::fromUtf8("Cafés") << QByteArray("Caf\xc3\xa9s");
        // clang-format on
    }
    void editedTextsKeepTheFilesEncoding()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, description);
        QFETCH(QString, edited);
        QFETCH(QByteArray, stored);
        const Fields original{name.toStdString(), "Weapon", "Me", description.toStdString()};
        Fields edit = descriptionfile::ShownFields(original);
        edit.name = edited.toStdString();
        const Fields kept = descriptionfile::StoredEdits(original, edit);
        QCOMPARE(QByteArray::fromStdString(kept.name), stored);
        QCOMPARE(kept.description, original.description);
    }

    // A description file far beyond what a description holds still gives its plug-in a name and
    // the beginning of its text, at a cost of 64 KiB, whether a scan reads it or the record on its
    // own; the editor refuses to replace it with that beginning. One of exactly 64 KiB is whole.
    void oversizedFileIsReadInPartAndNeverReplaced()
    {
        constexpr size_t kLimit = CPluginInfo::kMaxDescriptionBytes;
        const std::string head = "Name=Big\r\nCategory=Weapon\r\n";
        const std::string big = head + std::string(3 * kLimit, 'x');
        TestTree tree;
        tree.Write("blaster.cs", "");
        tree.Write("blaster.desc.txt", big);
        CPluginList scanned;
        scanned.Rescan(tree.Root());
        CPluginInfo read;
        read.ReadDescription(tree.Folder(), "blaster");
        for (const CPluginInfo* plugin : {scanned.Find("blaster"), &read}) {
            QCOMPARE(plugin->m_strName + "|" + plugin->m_strCategory, "Big|Weapon");
            QVERIFY(plugin->m_descriptionCut);
            QCOMPARE(plugin->m_strDescription.size(), kLimit - head.size());
        }
        CPluginInfo& plugin = *scanned.Find("blaster");
        const korvane::Status written =
            descriptionfile::WriteDescription(tree.Folder(), plugin, {"Edited", "", "", "short"});
        QVERIFY(written.reason().ends_with(strings::kReasonDescriptionTooLarge));
        QVERIFY(tree.Read("blaster.desc.txt") == big);
        QCOMPARE(plugin.m_strName, std::string("Big"));

        tree.Write("blaster.desc.txt", head + std::string(kLimit - head.size(), 'x'));
        scanned.Rescan(tree.Root());
        QVERIFY(!scanned.Find("blaster")->m_descriptionCut);
        QVERIFY(descriptionfile::WriteDescription(tree.Folder(), *scanned.Find("blaster"),
                                                  {"Edited", "", "", "short"}));
    }

    void windowsTextIsShownAsItsCharacters()
    {
        QCOMPARE(textencoding::ToUtf8("caf\xc3\xa9"), std::string("caf\xc3\xa9"));
        QVERIFY(!textencoding::IsValidUtf8("\xc0\xaf")); // overlong
        QVERIFY(!textencoding::IsValidUtf8("\xe2\x82")); // cut short
        // Every single byte survives the way to the screen and back.
        for (int byte = 0; byte < 256; ++byte) {
            const std::string text(1, static_cast<char>(byte));
            QCOMPARE(textencoding::ToWindows1252(textencoding::ToUtf8(text)).value_or("-"), text);
        }
    }

    // A name that turns the text after it around (the characters of "gnp.cs" under a right-to-left
    // override read "sc.png") shows the controls that do it, and only those.
    void bidiControlsInNamesAreShownEscaped_data()
    {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QByteArray>("shown");
        // Override, embeddings, pop, isolates and marks.
        QTest::newRow("controls")
            << QByteArray("photo\xe2\x80\xaegnp\xe2\x80\xaa\xe2\x80\xab\xe2\x80\xac\xe2\x81\xa6"
                          "a\xe2\x81\xa9\xe2\x80\x8e\xe2\x80\x8f\xd8\x9c")
            << QByteArray(
                   "photo\\u202Egnp\\u202A\\u202B\\u202C\\u2066a\\u2069\\u200E\\u200F\\u061C");
        QTest::newRow("cut short at the end") << QByteArray("a\xe2\x80") << QByteArray("a\xe2\x80");
        // Their neighbours are text: joiners, spaces, quotes, Arabic, a character beyond the BMP.
        const QByteArray neighbours("\xe2\x80\x8d\xe2\x80\xaf\xe2\x81\xa5\xe2\x81\xaa\xe2\x80\x9c"
                                    "\xd8\x9b\xd8\xa8\xf0\x9f\x98\x80");
        QTest::newRow("neighbours") << neighbours << neighbours;
    }
    void bidiControlsInNamesAreShownEscaped()
    {
        QFETCH(QByteArray, utf8);
        QFETCH(QByteArray, shown);
        QCOMPARE(QByteArray::fromStdString(textencoding::EscapeBidiControls(utf8.toStdString())),
                 shown);
    }
};

QTEST_GUILESS_MAIN(tst_DescriptionFile)
#include "tst_DescriptionFile.moc"
