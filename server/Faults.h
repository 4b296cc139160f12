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
    Trickle,     // a sound reply whose body comes one byte at a time, seconds apart
    EmptyPages,  // category and search pages that promise more pictures and hold none
};

bool ParseFaultMode(const std::string& name, FaultMode* mode);
// The mode a fault file names on its first line (white space around it ignored), with
// that name in *named; `fallback` (and "") when the file is absent or holds nothing but
// white space. A name the service does not know gives None and *known false.
FaultMode ReadFaultFile(const std::string& path, FaultMode fallback, std::string* named, bool* known);
ConnectionPolicy PolicyFor(FaultMode mode);
// The reply body for a tunnelled request under the given mode.
std::string SealWithFault(FaultMode mode, const std::string& json, const RequestKeys& keys);
