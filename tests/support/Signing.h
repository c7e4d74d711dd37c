#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

// Signatures as a server's operator makes them: with the build machine's minisign and the keys
// it made when the tests were built (tests/CMakeLists.txt, korvane_use_test_signatures).
namespace korvane::testsupport {

// The base64 line of a test key's .pub file ("key" or "other"), as a player pins it.
inline QByteArray PublicKeyLine(const char* key = "key")
{
    QFile file(QStringLiteral(KORVANE_TEST_SIGNATURES) + QLatin1String(key) +
               QStringLiteral(".pub"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("%s.pub: %s", key, qPrintable(file.errorString()));
    return file.readAll().split('\n').value(1);
}

// A path as the build machine's programs see it: under Wine the build machine's root is drive Z:.
inline QString HostPath(const QString& path)
{
    return path.startsWith(QLatin1String("Z:"), Qt::CaseInsensitive) ? path.mid(2) : path;
}

// The .minisig minisign writes for bytes in a file called name, signed with key; comment, when
// given, is the whole trusted comment ("timestamp:N\tfile:NAME\thashed" is minisign's own).
inline QByteArray Signed(const QByteArray& bytes, const QString& name, const char* key = "key",
                         const QString& comment = {})
{
    // Beside the keys, where minisign finds the file under Wine too.
    const QTemporaryDir folder(QStringLiteral(KORVANE_TEST_SIGNATURES) + "signing-XXXXXX");
    const QString file = folder.filePath(name);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("%s: %s", qPrintable(file), qPrintable(out.errorString()));
    out.close();
    QStringList arguments{
        "-S", "-s", HostPath(QStringLiteral(KORVANE_TEST_SIGNATURES) + QLatin1String(key) + ".key"),
        "-m", HostPath(file)};
    if (!comment.isEmpty())
        arguments << "-t" << comment;
    QProcess minisign;
    minisign.start(QStringLiteral(KORVANE_MINISIGN), arguments);
    if (!minisign.waitForFinished(20000) || minisign.exitCode() != 0)
        qFatal("minisign: %s%s", qPrintable(minisign.errorString()),
               minisign.readAllStandardError().constData());
    QFile signature(file + ".minisig");
    if (!signature.open(QIODevice::ReadOnly))
        qFatal("%s.minisig: %s", qPrintable(file), qPrintable(signature.errorString()));
    return signature.readAll();
}

// minisign's own trusted comment for a file called name signed at a time of the test's choosing.
inline QString CommentAt(qint64 secondsSince1970, const QString& name)
{
    return QStringLiteral("timestamp:%1\tfile:%2\thashed").arg(secondsSince1970).arg(name);
}

} // namespace korvane::testsupport
