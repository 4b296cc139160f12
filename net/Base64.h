// Base64 as the tunnelling endpoint speaks it: the standard alphabet with "=" padding
// on the way out, a lenient decoder on the way in.
#pragma once
#include <string>

// Standard alphabet, "=" padding to a multiple of 4, no line breaks.
std::string Base64Encode(const std::string& bytes);
// Reads up to a NUL, the end or the first "="; a space counts as "+" (replies may have
// been through form decoding), other characters outside the alphabet are skipped.
// Fails when "=" arrives with 0 or 1 characters pending in its group.
bool Base64Decode(const std::string& text, std::string& bytes);
