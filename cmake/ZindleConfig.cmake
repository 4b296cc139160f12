# Build-time configuration: endpoints and the tunnel's public key. The defaults point
# at the local content service on loopback; a production build sets them on the command line.
set(ZINDLE_TUNNEL_HOST "127.0.0.1" CACHE STRING "Host name of the tunnelling endpoint")
# The tunnel answers on port 80; the test trees (the presets) name the local service's port.
set(ZINDLE_TUNNEL_PORT "80" CACHE STRING "Port of the tunnelling endpoint")
set(ZINDLE_CONTENT_HOST "content.zindle.test" CACHE STRING "Host of the content service, as named inside sealed URLs")
set(ZINDLE_SUPPORT_HOST "support.zindle.test" CACHE STRING "Host of the maker's support site, where the feedback page lives")
set(ZINDLE_STATS_HOST "stats.zindle.test" CACHE STRING "Host of the statistics endpoint, as named inside sealed URLs")
set(ZINDLE_TUNNEL_PUBKEY "" CACHE FILEPATH "PEM RSA public key of the tunnelling endpoint; empty: a development key pair is made in the build tree")
# Where the Windows tests keep their Wine prefix; shared by the win32 and win64 trees.
set(ZINDLE_WINEPREFIX "${CMAKE_SOURCE_DIR}/build/wineprefix" CACHE PATH "Wine prefix used by the tests")
# The native service that the Windows tests talk to over loopback.
set(ZINDLE_DEVSERVER "${CMAKE_SOURCE_DIR}/build/native/server/zindle-devserver" CACHE FILEPATH "Local content service binary")

# With no key given, a development key pair lives in the build tree, shared by the
# program's tree (public half) and the local service's tree (private half).
set(ZINDLE_DEVKEY_PRIVATE "${CMAKE_SOURCE_DIR}/build/devkey/private.pem" CACHE FILEPATH "Private key the local content service opens envelopes with")
if(ZINDLE_TUNNEL_PUBKEY STREQUAL "")
  set(devkey_dir "${CMAKE_SOURCE_DIR}/build/devkey")
  if(NOT EXISTS "${devkey_dir}/public.pem")
    file(MAKE_DIRECTORY "${devkey_dir}")
    find_program(OPENSSL_TOOL openssl REQUIRED)
    execute_process(COMMAND ${OPENSSL_TOOL} genrsa -traditional -out "${devkey_dir}/private.pem" 1024
      RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "could not make the development key pair")
    endif()
    execute_process(COMMAND ${OPENSSL_TOOL} rsa -in "${devkey_dir}/private.pem" -pubout -out "${devkey_dir}/public.pem"
      RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  endif()
  set(ZINDLE_PUBKEY_FILE "${devkey_dir}/public.pem")
else()
  set(ZINDLE_PUBKEY_FILE "${ZINDLE_TUNNEL_PUBKEY}")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/BuildConfig.h.in ${CMAKE_BINARY_DIR}/generated/BuildConfig.h @ONLY)
