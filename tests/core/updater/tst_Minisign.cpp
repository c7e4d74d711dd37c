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
        const std::string text = "  " + KeyLine("key.pub") + "\n\t" + KeyLine("other.pub") + " ";
        const auto keys = MinisignKey::ListFrom(text);
        QVERIFY2(keys.ok(), keys.reason().c_str());
        QCOMPARE(keys->size(), size_t(2));
        QCOMPARE(keys->at(0).IdText() + ' ' + keys->at(1).IdText(),
                 CommentedId("key.pub") + ' ' + CommentedId("other.pub"));
        QVERIFY(MinisignKey::ListFrom(" \n").value().empty());
        // minisign drops an ID's leading zeros, as one key in sixteen has them.
        QCOMPARE(MinisignKey::IdText({0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}),
                 std::string("123456789ABCDEF"));
    }

    void whatIsNoKeyIsNamed_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray key = QByteArray::fromStdString(KeyLine("key.pub"));
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
        QTest::newRow("a file") << scriptSignature << script << true;
        QByteArray altered = script;
        altered[3] = altered[3] ^ 0x20; // the same size, one letter in another case
        QTest::newRow("bytes altered") << scriptSignature << altered << false;
        QByteArray renamed = listSignature;
        renamed.replace("file:korvane.upd", "file:korvane.cs");
        QTest::newRow("its trusted comment altered") << renamed << list << false;
    }
    void onlyTheKeysOwnSignatureOfTheseBytesVerifies()
    {
        QFETCH(QByteArray, signature);
        QFETCH(QByteArray, content);
        QFETCH(bool, verifies);
        const MinisignSignature parsed = Signature(signature);
        QCOMPARE(parsed.Verifies(Key("key.pub"), DigestOf(content)), verifies);
    }

    // A signature names its key: that one among the keys pinned verifies it, no other does.
    void aSignatureIsVerifiedByTheKeyItNames()
    {
        const MinisignSignature signature = Signature(Made("other.minisig"));
        const Blake2bDigest::Value script = DigestOf(Made("sniper.cs"));
        QCOMPARE(signature.KeyIdText(), CommentedId("other.pub"));
        QCOMPARE(signature.FindKey({Key("key.pub")}), nullptr);
        QVERIFY(!signature.Verifies(Key("key.pub"), script));
        const std::vector<MinisignKey> both{Key("key.pub"), Key("other.pub")};
        const MinisignKey* key = signature.FindKey(both);
        QVERIFY(key && signature.Verifies(*key, script));
    }

    void whatIsNoSignatureIsRefused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("reason");
        const QByteArray good = Made("sniper.cs.minisig");
        const QString form = QString::fromUtf8(strings::kReasonSignatureForm);
        QTest::newRow("three lines") << good.left(good.lastIndexOf('\n', -2) + 1) << form;
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

    // A download arrives in pieces: the digest of the pieces is the one minisign signed.
    void aFileTakenInPiecesVerifies()
    {
        const QByteArray script = Made("sniper.cs");
        Blake2bDigest digest;
        for (qsizetype at = 0; at < script.size(); at += 7)
            digest.Add(Text(script.mid(at, 7)));
        QVERIFY(Signature(Made("sniper.cs.minisig")).Verifies(Key("key.pub"), digest.Finish()));
    }
};

QTEST_GUILESS_MAIN(tst_Minisign)
#include "tst_Minisign.moc"
