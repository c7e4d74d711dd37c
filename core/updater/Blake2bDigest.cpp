#include "core/updater/Blake2bDigest.h"

#include "core/updater/GcryptLibrary.h"

#include <cstring>
#include <gcrypt.h>
#include <new>

namespace korvane {

Blake2bDigest::Blake2bDigest()
{
    gcrypt::EnsureReady();
    if (gcry_md_open(&m_handle, GCRY_MD_BLAKE2B_512, 0) != 0)
        throw std::bad_alloc(); // the algorithm is built in: only memory can be missing
}

Blake2bDigest::~Blake2bDigest()
{
    gcry_md_close(m_handle);
}

void Blake2bDigest::Add(std::string_view bytes)
{
    gcry_md_write(m_handle, bytes.data(), bytes.size());
}

Blake2bDigest::Value Blake2bDigest::Finish() const
{
    // gcry_md_read finalises the digest in place, so it reads from a copy: more may be added.
    gcry_md_hd_t copy = nullptr;
    if (gcry_md_copy(&copy, m_handle) != 0)
        throw std::bad_alloc();
    Value value{};
    std::memcpy(value.data(), gcry_md_read(copy, GCRY_MD_BLAKE2B_512), kBytes);
    gcry_md_close(copy);
    return value;
}

Blake2bDigest::Value Blake2bDigest::Of(std::string_view bytes)
{
    Blake2bDigest digest;
    digest.Add(bytes);
    return digest.Finish();
}

} // namespace korvane
