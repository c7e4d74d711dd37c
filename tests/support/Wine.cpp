#include "support/Wine.h"

#include <QSslCertificate>

#ifdef _WIN32
#include <cwchar>
#include <string>
// wincrypt.h needs what windows.h declares.
// clang-format off
#include <windows.h>
#include <wincrypt.h>
// clang-format on
#endif

namespace korvane::testsupport {

bool RunsUnderWine()
{
#ifdef _WIN32
    // Wine's ntdll has an export of its own that Windows' lacks.
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

#ifdef _WIN32
namespace {

// Adds (or, with add false, removes) the certificate in the current user's root store.
bool ChangeRootStore(const QByteArray& der, bool add)
{
    // The user's own root store: the one the system opens as "ROOT" adds others, and removes
    // nothing through them.
    const HCERTSTORE store =
        ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    if (!store)
        return false;
    bool done = false;
    const PCCERT_CONTEXT certificate = ::CertCreateCertificateContext(
        X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.constData()), DWORD(der.size()));
    if (certificate && add) {
        done = ::CertAddCertificateContextToStore(store, certificate,
                                                  CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    } else if (certificate) {
        BYTE hash[20];
        DWORD size = sizeof hash;
        CRYPT_HASH_BLOB blob{size, hash};
        const PCCERT_CONTEXT stored =
            ::CertGetCertificateContextProperty(certificate, CERT_SHA1_HASH_PROP_ID, hash, &size)
                ? ::CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_SHA1_HASH,
                                               &blob, nullptr)
                : nullptr;
        done = stored && ::CertDeleteCertificateFromStore(stored); // frees stored
        // Wine keeps the certificate in the registry all the same: its key goes too.
        std::wstring key = L"Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\";
        for (DWORD i = 0; i < size; ++i) {
            wchar_t hex[3];
            std::swprintf(hex, 3, L"%02X", hash[i]);
            key += hex;
        }
        ::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    }
    if (certificate)
        ::CertFreeCertificateContext(certificate);
    ::CertCloseStore(store, 0);
    return done;
}

} // namespace
#endif

TrustedInWinePrefix::TrustedInWinePrefix(const QByteArray& authorityPem)
    : m_der(QSslCertificate(authorityPem).toDer())
{
#ifdef _WIN32
    m_added = RunsUnderWine() && !m_der.isEmpty() && ChangeRootStore(m_der, true);
#endif
}

TrustedInWinePrefix::~TrustedInWinePrefix()
{
#ifdef _WIN32
    if (m_added)
        ChangeRootStore(m_der, false);
#endif
}

} // namespace korvane::testsupport
