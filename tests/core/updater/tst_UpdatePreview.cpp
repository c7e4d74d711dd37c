#include "core/updater/ListSignature.h"
#include "core/updater/UpdatePreview.h"
#include "res/Strings.h"
#include "support/TestTree.h"
#include "support/UpdaterTestSupport.h"

#include <QtTest>

using namespace korvane;

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

// Each file as the window shows its row: place, size, Replaces?, note.
QStringList Rows(const UpdatePreview& preview)
{
    QStringList rows;
    for (const UpdatePreview::File& file : preview.Files())
        rows << Q(file.place) + " | " + QString::number(file.size) + " | " +
                    S(UpdatePreview::ReplacesText(file)) + " | " + Q(UpdatePreview::NoteText(file));
    return rows;
}

} // namespace

class tst_UpdatePreview : public QObject
{
    Q_OBJECT

private slots:
    // The Korvane folder holds korvane.cs and storage/Weapons/Sniper.cs.
    void eachFileShowsWhereItGoesAndWhatItReplaces_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("files"); // subfolder and name, '|' between them
        QTest::addColumn<QStringList>("rows");
        const QString outside = S(strings::kNoteOutsideStorage);
        const auto refused = [](const char* reason, const char* name) {
            return S(strings::kNoteRefused).arg(S(reason).arg(S(name)));
        };
        // clang-format off
        QTest::newRow("replaces in any letter case") << "STORAGE\\" << QStringList{"weapons\\|sniper.cs"} << QStringList{"STORAGE\\weapons\\sniper.cs | 7 | Yes | "};
        QTest::newRow("storage named by the subfolder") << "" << QStringList{"storage/weapons/|SNIPER.CS"} << QStringList{"storage\\weapons\\SNIPER.CS | 7 | Yes | "};
        QTest::newRow("the modification's own script") << "" << QStringList{"|korvane.cs"} << QStringList{"korvane.cs | 7 | Yes | " + outside};
        QTest::newRow("the storage folder, which is no file to replace") << "" << QStringList{"|storage"} << QStringList{"storage | 7 | No | " + outside};
        QTest::newRow("one refused name among good ones") << "storage\\" << QStringList{"|a.cs", "..\\|b.cs", "|.lock"} << QStringList{"storage\\a.cs | 7 | No | ", "storage\\..\\b.cs | 7 | Refused | " + refused(strings::kReasonUnsafeName, "..\\b.cs"), "storage\\.lock | 7 | Refused | " + refused(strings::kReasonDotName, "storage\\.lock")};
        // clang-format on
    }

    void eachFileShowsWhereItGoesAndWhatItReplaces()
    {
        QFETCH(QString, target);
        QFETCH(QStringList, files);
        TestTree tree;
        tree.Write("k/korvane.cs", "");
        tree.Write("k/storage/Weapons/Sniper.cs", "old");
        std::vector<CUpdateFileInfo> listed;
        for (const QString& file : files)
            listed.push_back(
                {file.section('|', 1).toStdString(), file.section('|', 0, 0).toStdString(), 7});
        const auto list = testsupport::ListOf(testsupport::MakeUpdate(
            "Caf\xe9", target.toStdString(), "http://example.invalid/", listed, 1, 10));
        const UpdatePreview preview = UpdatePreview::Of(*list, 0, tree.Folder("k/"));
        QCOMPARE(Q(preview.Name()) + ' ' + Q(preview.Version()), QString("Café 1.10"));
        QTEST(Rows(preview), "rows");
        // Without a Korvane folder nothing is there to replace.
        const UpdatePreview noFolder = UpdatePreview::Of(*list, 0, Path());
        for (const UpdatePreview::File& file : noFolder.Files())
            QVERIFY(!file.replaces);
    }
};

QTEST_GUILESS_MAIN(tst_UpdatePreview)
#include "tst_UpdatePreview.moc"
