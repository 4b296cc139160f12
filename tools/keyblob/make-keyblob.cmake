# Turns the tunnelling endpoint's PEM RSA public key into the 148-byte CryptoAPI
# PUBLICKEYBLOB the program imports, written as a C++ header.
# usage: cmake -DPEM=public.pem -DOUT=TunnelKeyBlob.h [-DOPENSSL=path] -P make-keyblob.cmake
if(NOT PEM OR NOT OUT)
  message(FATAL_ERROR "make-keyblob: PEM and OUT are required")
endif()
if(NOT OPENSSL)
  find_program(OPENSSL openssl REQUIRED)
endif()

# Accepts both "PUBLIC KEY" (SubjectPublicKeyInfo) and "RSA PUBLIC KEY" (PKCS #1) files.
set(text "")
foreach(form -pubin -RSAPublicKey_in)
  execute_process(COMMAND ${OPENSSL} rsa ${form} -in ${PEM} -noout -text -modulus
    RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_QUIET)
  if(rc EQUAL 0)
    break()
  endif()
endforeach()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make-keyblob: ${PEM} is not an RSA public key")
endif()

string(REGEX MATCH "Modulus=([0-9A-Fa-f]+)" _ "${text}")
set(modulus "${CMAKE_MATCH_1}")
string(REGEX MATCH "Exponent: ([0-9]+)" _ "${text}")
set(exponent "${CMAKE_MATCH_1}")
string(LENGTH "${modulus}" digits)
# The program's key blob holds a 1024-bit modulus (128 bytes).
if(NOT digits EQUAL 256)
  message(FATAL_ERROR "make-keyblob: the key must be a 1024-bit RSA key (got ${digits} hex digits)")
endif()
if(NOT exponent EQUAL 65537)
  message(FATAL_ERROR "make-keyblob: the key's public exponent must be 65537 (got ${exponent})")
endif()

# BLOBHEADER: PUBLICKEYBLOB (6), version 2, reserved 0, CALG_RSA_KEYX (0xA400, little-endian);
# RSAPUBKEY: "RSA1", 1024 bits, exponent 65537, all little-endian.
set(bytes "0x06, 0x02, 0x00, 0x00, 0x00, 0xA4, 0x00, 0x00,\n")
string(APPEND bytes "    0x52, 0x53, 0x41, 0x31, 0x00, 0x04, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00,\n   ")
# The modulus follows least significant byte first: walk the big-endian hex from its end.
string(TOUPPER "${modulus}" modulus)
set(count 0)
foreach(pos RANGE 254 0 -2)
  string(SUBSTRING "${modulus}" ${pos} 2 octet)
  string(APPEND bytes " 0x${octet},")
  math(EXPR count "${count} + 1")
  if(count EQUAL 12)
    string(APPEND bytes "\n   ")
    set(count 0)
  endif()
endforeach()

set(header "// Generated at build time from ${PEM}: the tunnelling endpoint's public key.
#pragma once
#include <windows.h>

constexpr BYTE kTunnelPublicKeyBlob[148] = {
    ${bytes}
};
")
# Rewrite only on change, so a rebuild recompiles nothing when the key stayed the same.
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
  if(old STREQUAL header)
    return()
  endif()
endif()
file(WRITE "${OUT}" "${header}")
