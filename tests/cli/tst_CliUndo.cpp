// korvane-cli undo-load and the warning of save-config, as a script sees them.
#include "CliTestSupport.h"
#include "res/Strings.h"

using namespace korvane;

class tst_CliUndo : public QObject
{
    Q_OBJECT

private slots:
    void undoLoadSaysWhatItLoadedAndSaveConfigWarnsOfAKeyInTwoSubfolders()
    {
        CliFixture cli;
        cli.MakeKorvane("k/");
        cli.tree.Write("none.pfg", "UseDirectory=TRUE\r\n");
        QCOMPARE_FAILURE(cli.Run({"undo-load"}), strings::kNothingToUndo);
        QCOMPARE(cli.Run({"load-config", "none.pfg"}).status, 0);
        const CliResult undone = cli.Run({"undo-load"});
        QCOMPARE(undone.status, 0);
        QVERIFY(QRegularExpression("^Loaded the backup [-0-9 ]{19}\\.pfg\\n$")
                    .match(undone.out)
                    .hasMatch());

        cli.tree.Write("k/plugins/a/blaster.cs", "");
        cli.tree.Write("k/plugins/b/blaster.cs", "");
        const CliResult saved = cli.Run({"save-config", "set.pfg"});
        QCOMPARE(saved.status, 0);
        QCOMPARE(saved.err, QString(strings::kCliRepeatedKeys).arg("blaster") + u'\n');
        QVERIFY(cli.tree.Exists("set.pfg"));
    }
};

QTEST_GUILESS_MAIN(tst_CliUndo)
#include "tst_CliUndo.moc"
