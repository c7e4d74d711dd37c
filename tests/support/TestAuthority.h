#pragma once

#include "support/LoopbackServer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace testsupport {

// A certificate authority made for one test run, and a certificate for 127.0.0.1 that it signed:
// no system trusts it, so only a client told of it accepts the loopback server.
struct TestAuthority
{
    QByteArray authorityPem;
    LoopbackServer::Identity server;
};

inline bool RunOpenSsl(const QString& folder, const QStringList& arguments)
{
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.setProcessChannelMode(QProcess::MergedChannels); // read only on failure
    openssl.start(QStringLiteral("openssl"), arguments);
    return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit &&
           openssl.exitCode() == 0;
}

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Empty fields when openssl is missing or fails.
inline TestAuthority MakeTestAuthority()
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QStringList ecKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                               "-nodes"};
    QFile extensions(folder + "/server.ext");
    if (!extensions.open(QIODevice::WriteOnly) ||
        extensions.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n") < 0)
        return {};
    extensions.close();
    const bool bMade =
        RunOpenSsl(folder, QStringList{"req", "-x509"} + ecKey +
                               QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
                                           "-subj", "/CN=Loopback test authority"}) &&
        RunOpenSsl(folder, QStringList{"req"} + ecKey +
                               QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj",
                                           "/CN=127.0.0.1"}) &&
        RunOpenSsl(folder, {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey",
                            "ca.key", "-CAcreateserial", "-out", "server.pem", "-days", "2",
                            "-extfile", "server.ext"});
    if (!bMade)
        return {};
    return {ReadAll(folder + "/ca.pem"),
            {ReadAll(folder + "/server.pem"), ReadAll(folder + "/server.key")}};
}

} // namespace testsupport
