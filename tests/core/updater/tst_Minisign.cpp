#include "core/updater/Blake2bDigest.h"
#include "core/updater/MinisignKey.h"
#include "core/updater/MinisignSignature.h"
#include "res/Strings.h"

#include <QtTest>

using namespace korvane;

namespace {

// A file that minisign made when the tests were built.
QByteArray Made(const char* name)
{
    QFile file(QStringLiteral(KORVANE_TEST_SIGNATURES) + QString::fromUtf8(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("%s: %s", name, qPrintable(file.errorString()));
    return file.readAll();
}

std::string Text(const QByteArray& bytes)
{
    return bytes.toStdString();
}

// The base64 line of a .pub file, and the ID its untrusted comment names.
std::string KeyLine(const char* pub)
{
    return Text(Made(pub).split('\n').at(1));
}
std::string CommentedId(const char* pub)
{
    return Text(Made(pub).split('\n').at(0).split(' ').last());
}

MinisignKey Key(const char* pub)
{
    auto key = MinisignKey::FromBase64(KeyLine(pub));
    if (!key)
        qFatal("%s", key.reason().c_str());
    return std::move(key).value();
}

MinisignSignature Signature(const QByteArray& text)
{
    auto signature = MinisignSignature::Parse(Text(text));
    if (!signature)
        qFatal("%s", signature.reason().c_str());
    return std::move(signature).value();
}

Blake2bDigest::Value DigestOf(const QByteArray& bytes)
{
    return Blake2bDigest::Of(Text(bytes));
}

} // namespace

class tst_Minisign : public QObject
{
    Q_OBJECT

private slots:
    void keysAreReadAsMinisignWritesThem()
    {
        const MinisignKey key = Key("key.pub");
        QCOMPARE(key.IdText(), CommentedId("key.pub"));
        const std::string text = "  " + KeyLine("key.pub") + "\n\t" + KeyLine("other.pub") + " ";
        const auto keys = MinisignKey::ListFrom(text);
        QVERIFY2(keys.ok(), keys.reason().c_str());
        QCOMPARE(keys->size(), size_t(2));
        QCOMPARE(keys->at(1).IdText(), CommentedId("other.pub"));
        QVERIFY(MinisignKey::ListFrom(" \n").value().empty());
        // minisign drops an ID's leading zeros, as one key in sixteen has them.
        QCOMPARE(MinisignKey::IdText({0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}),
                 std::string("123456789ABCDEF"));
        QCOMPARE(MinisignKey::IdText({}), std::string("0"));
    }

    void whatIsNoKeyIsNamed_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray key = QByteArray::fromStdString(KeyLine("key.pub"));
        QTest::newRow("a word") << QByteArray("RWnokey");
        QTest::newRow("one byte short") << key.left(key.size() - 4) + "AAA=";
        QTest::newRow("another algorithm")
            << QByteArray::fromBase64(key).replace(0, 2, "XX").toBase64();
        QTest::newRow("a good key, then none") << key + " RWQ";
    }
    void whatIsNoKeyIsNamed()
    {
        QFETCH(QByteArray, text);
        const auto keys = MinisignKey::ListFrom(Text(text));
        QVERIFY(!keys);
        QVERIFY2(QString::fromStdString(keys.reason()).contains(text.split(' ').last()),
                 keys.reason().c_str());
    }

    void theTrustedCommentSaysWhenAndWhat()
    {
        const MinisignSignature signature = Signature(Made("sniper.cs.minisig"));
        QCOMPARE(signature.FileName(), std::optional<std::string>("sniper.cs"));
        const auto time = signature.Timestamp();
        QVERIFY(time);
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        QVERIFY2(*time <= now && *time > now - 30 * 86400, std::to_string(*time).c_str());
        QCOMPARE(signature.KeyIdText(), CommentedId("key.pub"));

        const MinisignSignature own = Signature(Made("comment.minisig"));
        QCOMPARE(own.TrustedComment(), std::string("made by hand"));
        QCOMPARE(own.Timestamp(), std::nullopt);
        QCOMPARE(own.FileName(), std::nullopt);
    }

    // What the program accepts is what minisign accepts, and nothing else.
    void onlyTheKeysOwnSignatureOfTheseBytesVerifies_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("verifies");
        const QByteArray list = Made("korvane.upd");
        const QByteArray script = Made("sniper.cs");
        const QByteArray listSignature = Made("korvane.upd.minisig");
        const QByteArray scriptSignature = Made("sniper.cs.minisig");
        QTest::newRow("the list") << listSignature << list << true;
        QTest::newRow("a file") << scriptSignature << script << true;
        QTest::newRow("an own trusted comment") << Made("comment.minisig") << script << true;
        QByteArray altered = script;
        altered[3] = altered[3] ^ 0x20; // the same size, one letter in another case
        QTest::newRow("bytes altered") << scriptSignature << altered << false;
        QTest::newRow("another file's signature") << listSignature << script << false;
        QByteArray later = scriptSignature;
        const qsizetype digit = later.indexOf("timestamp:") + 10;
        later[digit] = later[digit] == '9' ? '8' : char(later[digit] + 1);
        QTest::newRow("its time altered") << later << script << false;
        QByteArray renamed = listSignature;
        renamed.replace("file:korvane.upd", "file:korvane.cs");
        QTest::newRow("its file name altered") << renamed << list << false;
    }
    void onlyTheKeysOwnSignatureOfTheseBytesVerifies()
    {
        QFETCH(QByteArray, signature);
        QFETCH(QByteArray, content);
        QFETCH(bool, verifies);
        const MinisignSignature parsed = Signature(signature);
        QCOMPARE(parsed.Verifies(Key("key.pub"), DigestOf(content)), verifies);
    }

    void anotherKeysSignatureIsKnownByItsId()
    {
        const MinisignSignature signature = Signature(Made("other.minisig"));
        const std::vector<MinisignKey> pinned{Key("key.pub")};
        QCOMPARE(signature.FindKey(pinned), nullptr);
        QCOMPARE(signature.KeyIdText(), CommentedId("other.pub"));
        QVERIFY(!signature.Verifies(pinned.front(), DigestOf(Made("sniper.cs"))));
        const std::vector<MinisignKey> both{Key("key.pub"), Key("other.pub")};
        const MinisignKey* key = signature.FindKey(both);
        QVERIFY(key);
        QVERIFY(signature.Verifies(*key, DigestOf(Made("sniper.cs"))));
    }

    void whatIsNoSignatureIsRefused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("reason");
        const QByteArray good = Made("sniper.cs.minisig");
        const QString form = QString::fromUtf8(strings::kReasonSignatureForm);
        QTest::newRow("nothing") << QByteArray() << form;
        QTest::newRow("a web page") << QByteArray("<html><body>Not found</body></html>\n") << form;
        QTest::newRow("three lines") << good.left(good.lastIndexOf('\n', -2) + 1) << form;
        QTest::newRow("no untrusted comment") << good.mid(good.indexOf('\n') + 1) << form;
        QByteArray broken = good;
        broken[good.indexOf('\n') + 5] = '*';
        QTest::newRow("not base64") << broken << form;
        QTest::newRow("the legacy form")
            << Made("legacy.minisig") << QString::fromUtf8(strings::kReasonSignatureLegacy);
        QTest::newRow("longer than 64 KiB") << good + QByteArray(64 * 1024, '\n')
                                            << QString::fromUtf8(strings::kReasonSignatureTooLong);
    }
    void whatIsNoSignatureIsRefused()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, reason);
        const auto parsed = MinisignSignature::Parse(Text(text));
        QVERIFY(!parsed);
        QCOMPARE(QString::fromStdString(parsed.reason()), reason);
    }

    void signaturesWithWindowsLineBreaksAreRead()
    {
        QByteArray text = Made("sniper.cs.minisig");
        text.replace("\n", "\r\n");
        QVERIFY(Signature(text).Verifies(Key("key.pub"), DigestOf(Made("sniper.cs"))));
    }

    void aDigestTakenInPiecesIsTheDigestOfTheWhole()
    {
        const QByteArray script = Made("sniper.cs");
        Blake2bDigest digest;
        digest.Add(Text(script.left(5)));
        const auto early = digest.Finish();
        digest.Add(Text(script.mid(5)));
        QCOMPARE(digest.Finish(), DigestOf(script));
        QCOMPARE(early, DigestOf(script.left(5)));
    }
};

QTEST_GUILESS_MAIN(tst_Minisign)
#include "tst_Minisign.moc"
