#pragma once

namespace korvane::gcrypt {

// Initialises libgcrypt once per process, as it must be before its first use: this program only
// verifies signatures, so it asks for no secure memory. Safe to call from any thread, each time
// before libgcrypt is used.
void EnsureReady();

} // namespace korvane::gcrypt
