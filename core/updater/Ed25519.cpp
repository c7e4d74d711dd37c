#include "core/updater/Ed25519.h"

#include "core/updater/GcryptLibrary.h"

#include <gcrypt.h>
#include <memory>

namespace korvane::ed25519 {

namespace {

struct SexpRelease
{
    void operator()(gcry_sexp* sexp) const { gcry_sexp_release(sexp); }
};
using Sexp = std::unique_ptr<gcry_sexp, SexpRelease>;

template <class... Args> Sexp Build(const char* format, Args... args)
{
    gcry_sexp_t built = nullptr;
    if (gcry_sexp_build(&built, nullptr, format, args...) != 0)
        return nullptr;
    return Sexp(built);
}

const char* Bytes(const std::uint8_t* bytes)
{
    return reinterpret_cast<const char*>(bytes);
}

} // namespace

bool Verifies(const std::array<std::uint8_t, 32>& publicKey, std::string_view message,
              const std::array<std::uint8_t, 64>& signature)
{
    gcrypt::EnsureReady();
    const Sexp key = Build("(public-key (ecc (curve Ed25519) (flags eddsa) (q %b)))",
                           static_cast<int>(publicKey.size()), Bytes(publicKey.data()));
    const Sexp sig = Build("(sig-val (eddsa (r %b) (s %b)))", 32, Bytes(signature.data()), 32,
                           Bytes(signature.data() + 32));
    const Sexp data = Build("(data (flags eddsa) (hash-algo sha512) (value %b))",
                            static_cast<int>(message.size()), message.data());
    return key && sig && data && gcry_pk_verify(sig.get(), data.get(), key.get()) == 0;
}

} // namespace korvane::ed25519
