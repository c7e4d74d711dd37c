#pragma once

#include "support/LoopbackServer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace korvane::testsupport {

// A certificate authority made for one test run, and a certificate for 127.0.0.1 that it signed:
// no system trusts it, so only a client told of it accepts the loopback server.
struct TestAuthority
{
    QByteArray authorityPem;
    LoopbackServer::Identity server;
};

// Empty fields when openssl is missing or fails.
inline TestAuthority MakeTestAuthority()
{
    QTemporaryDir dir;
    const auto openssl = [&dir](const QString& name, const QStringList& more) {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setProcessChannelMode(QProcess::MergedChannels); // read only on failure
        process.start("openssl", QStringList{"req", "-x509", "-newkey", "ec", "-pkeyopt",
                                             "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2",
                                             "-keyout", name + ".key", "-out", name + ".pem"} +
                                     more);
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    };
    const auto read = [&dir](const QString& name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    if (!openssl("ca", {"-subj", "/CN=Loopback test authority"}) ||
        !openssl("server", {"-subj", "/CN=127.0.0.1", "-CA", "ca.pem", "-CAkey", "ca.key",
                            "-addext", "basicConstraints=CA:FALSE", "-addext",
                            "subjectAltName=IP:127.0.0.1,DNS:localhost"}))
        return {};
    return {read("ca.pem"), {read("server.pem"), read("server.key")}};
}

} // namespace korvane::testsupport
