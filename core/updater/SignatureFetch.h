#pragma once

#include "core/platform/HttpClient.h"
#include "core/platform/Status.h"
#include "core/updater/MinisignSignature.h"

#include <optional>
#include <string>

namespace korvane::signatures {

// Where the signature of what lies at url is: the same address followed by ".minisig".
std::string AddressBeside(const std::string& url);

// Fetches the signature of what lies at url. Nothing when the server has none (HTTP 404 or 410);
// fails, saying why, when the transfer fails, the server answers otherwise, or the answer is no
// signature file (or longer than one can be).
korvane::Result<std::optional<MinisignSignature>> Fetch(HttpClient& session, const std::string& url,
                                                        const HttpClient::Ticker& onTick = {});

} // namespace korvane::signatures
