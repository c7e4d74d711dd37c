#include "core/catalogue/ScriptFunctionCache.h"
#include "core/catalogue/ScriptFunctionReader.h"
#include "core/platform/KPath.h"
#include "res/Strings.h"
#include "support/TestTree.h"

#include <filesystem>
#include <QtTest>
#include <string>

using namespace korvane;

namespace {

// Each definition as "line:name".
QStringList Found(const std::vector<FunctionDefinition>& definitions)
{
    QStringList found;
    for (const FunctionDefinition& definition : definitions)
        found << QString::number(definition.line) + u':' + QString::fromStdString(definition.name);
    return found;
}

std::string Definitions(size_t count)
{
    std::string script;
    for (size_t i = 0; i < count; ++i)
        script += "function f" + std::to_string(i) + "() {}\n";
    return script;
}

} // namespace

// The functions a plug-in's script defines, as the game would define them when it loads the
// script: what a clash between plug-ins is made of.
class tst_ScriptFunctions : public QObject
{
    Q_OBJECT

private slots:
    void theDefinitionsOfAScriptAreFound_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QStringList>("found");
        const QByteArray longName(ScriptFunctionReader::kMaxNameBytes, 'n');
        // clang-format off
        QTest::newRow("names with parts, file without a last line break")
            << QByteArray("function Player::onDamage(%this, %value)\n{\n}\nfunction go()")
            << QStringList{"1:Player::onDamage", "4:go"};
        QTest::newRow("blanks and line breaks between the keyword, the name and the bracket")
            << QByteArray("function\n\t spread  \n(%x)\nfunction tight(")
            << QStringList{"1:spread", "4:tight"};
        QTest::newRow("several on one line")
            << QByteArray("function a() {};function b() {} function c() {}")
            << QStringList{"1:a", "1:b", "1:c"};
        QTest::newRow("the keyword in any letter case, the name as written")
            << QByteArray("FUNCTION Upper::Case() {}\nFunction lower()")
            << QStringList{"1:Upper::Case", "2:lower"};
        QTest::newRow("no whole keyword, or no name")
            << QByteArray("myfunction a(); functions b(); %function c(); $function d(); "
                          "function(); function 3d(); function e::(); function ::f(); "
                          "function g:h(); function i j(); function k:::l(); function m; x.n()")
            << QStringList{};
        QTest::newRow("comments")
            << QByteArray("// function a()\nfunction b() {} // function c()\n/function d()")
            << QStringList{"2:b", "3:d"};
        QTest::newRow("strings, their escapes, and one left open to the line's end")
            << QByteArray("echo(\"function a()\", 'function b()', \"\\\"function c()\");\n"
                          "echo(\"\\\\\"); function d() {}\necho(\"open function e()\nfunction f()")
            << QStringList{"2:d", "4:f"};
        QTest::newRow("CR LF and CR line ends")
            << QByteArray("function a()\r\n\r\nfunction b()\rfunction c()\r\n")
            << QStringList{"1:a", "3:b", "4:c"};
        QTest::newRow("byte order mark, NUL and bytes beyond ASCII")
            << QByteArrayLiteral("\xef\xbb\xbf" "function a()\0function b()\x80" "function c\xe9()"
                                 "\0\xff" "function d()")
            << QStringList{"1:a", "1:b", "1:d"};
        QTest::newRow("a name of the longest length, and one longer with a keyword in its tail")
            << "function " + longName + "()\nfunction " + longName + "function x()"
            << QStringList{"1:" + QString::fromLatin1(longName)};
        // clang-format on
    }
    // Read whole, and in blocks so small that every definition is cut somewhere.
    void theDefinitionsOfAScriptAreFound()
    {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, found);
        TestTree tree;
        tree.Write("script.cs", script.toStdString());
        const auto file = kpath::ToNative(tree.Path("script.cs"));
        for (const size_t block : {ScriptFunctionReader::kBlockBytes, size_t(1), size_t(5)}) {
            const auto read = ScriptFunctionReader::ReadFile(file, block);
            QVERIFY2(read, read.reason().c_str());
            QCOMPARE(Found(*read), found);
        }
    }

    // A script of more definitions than any plug-in's is refused, naming it, not held in memory.
    void aScriptOfTooManyDefinitionsIsRefused()
    {
        TestTree tree;
        tree.Write("many.cs", Definitions(ScriptFunctionReader::kMaxDefinitions));
        const auto file = kpath::ToNative(tree.Path("many.cs"));
        const auto most = ScriptFunctionReader::ReadFile(file);
        QVERIFY2(most, most.reason().c_str());
        QCOMPARE(most->size(), ScriptFunctionReader::kMaxDefinitions);
        tree.Write("many.cs", Definitions(ScriptFunctionReader::kMaxDefinitions + 1));
        QCOMPARE(QString::fromStdString(ScriptFunctionReader::ReadFile(file).reason()),
                 tree.QPath("many.cs") + ": " + strings::kReasonTooManyFunctions);
    }

    // The cache reads a script again only when its size or time of writing changed: the same
    // bytes changed in place under the old time are not seen, which is what shows the cache.
    // A script written again moments later with the same size is seen, also on Windows, whose
    // C library tells the time of writing in whole seconds.
    void aScriptIsReadAgainOnlyWhenItsStampChanges()
    {
        namespace fs = std::filesystem;
        TestTree tree;
        tree.Write("a.cs", "function one()");
        const auto file = kpath::ToNative(tree.Path("a.cs"));
        ScriptFunctionCache cache;
        QVERIFY(cache.Read(file));
        QCOMPARE(Found(*cache.Read(file)), QStringList{"1:one"});
        tree.Write("a.cs", "function two()");
        QCOMPARE(Found(*cache.Read(file)), QStringList{"1:two"});
        const auto written = fs::last_write_time(file);
        fs::last_write_time(file, written);
        QCOMPARE(Found(*cache.Read(file)), QStringList{"1:two"});
        tree.Write("a.cs", "function six()");
        fs::last_write_time(file, written);
        QCOMPARE(Found(*cache.Read(file)), QStringList{"1:two"});
        fs::last_write_time(file, written + std::chrono::seconds(1));
        QCOMPARE(Found(*cache.Read(file)), QStringList{"1:six"});
        tree.Write("a.cs", "\nfunction three()");
        fs::last_write_time(file, written);
        QCOMPARE(Found(*cache.Read(file)), QStringList{"2:three"});

        // What a look did not ask for is forgotten after the next.
        cache.Prune();
        QCOMPARE(cache.Size(), size_t(1));
        cache.Prune();
        QCOMPARE(cache.Size(), size_t(0));
    }
};

QTEST_GUILESS_MAIN(tst_ScriptFunctions)
#include "tst_ScriptFunctions.moc"
