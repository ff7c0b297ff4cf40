# Values fixed when Quorvex is built. Override with -D<NAME>=... at configure time.
#
# The three advert host names are patched out of the messenger executable; each
# must keep its length (22, 14 and 21 characters) so the patterns keep theirs.
# The defaults are placeholders under the reserved example domains.
set(QUORVEX_HOST_BANNER "banner.ads.example.com" CACHE STRING "Room-banner advert host (22 characters)")
set(QUORVEX_HOST_CHAT "ch.example.com" CACHE STRING "Chat advert host (14 characters)")
set(QUORVEX_HOST_CLIENT "client.ad.example.org" CACHE STRING "Client advert host (21 characters)")
# The product's web site, asked for updates.
set(QUORVEX_SITE_HOST "quorvex.example.com" CACHE STRING "Product web site host")
# The hosted donate-button page opened by the Donate tab's picture.
set(QUORVEX_DONATE_HOST "donate.example.com" CACHE STRING "Donation page host")
set(QUORVEX_DONATE_BUTTON_ID "QUORVEX" CACHE STRING "Donation button identifier")
# The desktop id: the name of the desktop entry, the AppStream data and the
# icon, and the application's own name for the desktop to match its windows.
set(QUORVEX_DESKTOP_ID com.example.Quorvex)
# The publisher's Ed25519 public key (base64, as tools/updatesign prints it).
# When set, a downloaded installer is started only with a valid signature of
# it in the update information file; empty: installers are not signed.
set(QUORVEX_UPDATE_PUBLIC_KEY "" CACHE STRING "Publisher's Ed25519 public key for update signatures (base64)")
# Its 32 bytes are 43 base64 characters and one "=", and the last of those
# characters leaves its two unused bits zero. (CMake's expressions have no {n}.)
string(LENGTH "${QUORVEX_UPDATE_PUBLIC_KEY}" quorvex_key_length)
if(NOT QUORVEX_UPDATE_PUBLIC_KEY STREQUAL ""
   AND (NOT quorvex_key_length EQUAL 44 OR NOT QUORVEX_UPDATE_PUBLIC_KEY MATCHES "^[A-Za-z0-9+/]+[AEIMQUYcgkosw048]=$"))
  message(FATAL_ERROR "QUORVEX_UPDATE_PUBLIC_KEY must be an Ed25519 public key in base64 (44 characters), "
                      "as quorvex-update-sign keygen prints it; \"${QUORVEX_UPDATE_PUBLIC_KEY}\" is not one")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/BuildConfig.h.in
               ${CMAKE_BINARY_DIR}/generated/quorvex/BuildConfig.h @ONLY)
add_library(quorvex_buildconfig INTERFACE)
target_include_directories(quorvex_buildconfig INTERFACE ${CMAKE_BINARY_DIR}/generated)

# The version's definition (cmake/Version.cpp.in), for version in the library
# kind given (STATIC or OBJECT).
function(quorvex_version_library target kind version)
  set(QUORVEX_LINKED_VERSION ${version})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/Version.cpp.in ${CMAKE_BINARY_DIR}/generated/${target}.cpp @ONLY)
  add_library(${target} ${kind} ${CMAKE_BINARY_DIR}/generated/${target}.cpp)
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated)
endfunction()
# Every program that reads the version links the project's.
quorvex_version_library(quorvex_version STATIC ${PROJECT_VERSION})
target_link_libraries(quorvex_buildconfig INTERFACE quorvex_version)

# Links the object library's definitions into target in place of those that
# a static library it links defines under the same names: the version above,
# or the update settings of a test's program. Why this holds: an object
# library's objects are the target's own objects, which the linker takes
# whole before it reads any static library, and it takes a static library's
# member only for a name still undefined then. A replaced member defines the
# same names and no other, so it is never taken; were it taken all the same,
# its names, defined twice, would stop the link.
function(quorvex_link_first target object_library)
  get_target_property(kind ${object_library} TYPE)
  if(NOT kind STREQUAL "OBJECT_LIBRARY")
    message(FATAL_ERROR "quorvex_link_first: ${object_library} is not an object library")
  endif()
  target_link_libraries(${target} PRIVATE ${object_library})
endfunction()
