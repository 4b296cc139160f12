// Broken behaviours the service can put on for tests of the client's failure handling.
#pragma once
#include <string>

#include "Envelope.h"
#include "Http.h"

enum class FaultMode {
    None,
    Refuse,      // close every connection at once
    Stall,       // accept, never answer
    Garbage,     // a body that is not Base64
    WrongKey,    // a sound envelope, sealed under another AES key
    Truncated,   // a sound envelope around a deflate stream cut short of L bytes
    HugeLength,  // L far above any sane reply size
    NoData,      // well sealed JSON without "data"
};

bool ParseFaultMode(const std::string& name, FaultMode* mode);
ConnectionPolicy PolicyFor(FaultMode mode);
// The reply body for a tunnelled request under the given mode.
std::string SealWithFault(FaultMode mode, const std::string& json, const RequestKeys& keys);
