#pragma once

#include <QByteArray>

namespace korvane::testsupport {

// True in a Windows program that Wine runs: the tests that write the registry's
// HKEY_CURRENT_USER run only there, in the build's own scratch prefix.
bool RunsUnderWine();

// While it lives, the certificate authority (PEM) is one the user trusts: it is in the current
// user's root store of the build's Wine prefix. Nothing happens outside Wine, where a real user's
// store is never written.
class TrustedInWinePrefix
{
public:
    explicit TrustedInWinePrefix(const QByteArray& authorityPem);
    ~TrustedInWinePrefix();
    TrustedInWinePrefix(const TrustedInWinePrefix&) = delete;
    TrustedInWinePrefix& operator=(const TrustedInWinePrefix&) = delete;

    bool Ok() const { return m_added; }

private:
    QByteArray m_der;
    bool m_added = false;
};

} // namespace korvane::testsupport
