# libgcrypt, the project's one cryptography library, as the target
# Quorvex::Gcrypt: the system's shared library on Linux; on Windows the
# static libraries of the mingw-w64 packages, so that the programs need no
# DLL beside them.
if(TARGET Quorvex::Gcrypt)
  return()
endif()
add_library(Quorvex::Gcrypt INTERFACE IMPORTED)
if(WIN32)
  find_path(QUORVEX_GCRYPT_INCLUDE gcrypt.h REQUIRED)
  find_library(QUORVEX_GCRYPT_LIBRARY libgcrypt.a REQUIRED)
  find_library(QUORVEX_GPG_ERROR_LIBRARY libgpg-error.a REQUIRED)
  target_include_directories(Quorvex::Gcrypt INTERFACE ${QUORVEX_GCRYPT_INCLUDE})
  target_link_libraries(Quorvex::Gcrypt INTERFACE ${QUORVEX_GCRYPT_LIBRARY} ${QUORVEX_GPG_ERROR_LIBRARY} ws2_32)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(GCRYPT REQUIRED IMPORTED_TARGET libgcrypt)
  target_link_libraries(Quorvex::Gcrypt INTERFACE PkgConfig::GCRYPT)
endif()
