#include "core/updater/GcryptLibrary.h"

#include <gcrypt.h>
#include <mutex>

namespace korvane::gcrypt {

void EnsureReady()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // The version check is what initialises the library; any 1.10 or later has Ed25519
        // and BLAKE2b-512.
        (void)gcry_check_version(GCRYPT_VERSION);
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    });
}

} // namespace korvane::gcrypt
