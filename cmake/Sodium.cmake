# libsodium, for the publisher's signature, as the target Quorvex::Sodium:
# the system's shared library on Linux; on Windows the static library that
# scripts/windows-deps.sh builds into the build folder's deps/.
if(TARGET Quorvex::Sodium)
  return()
endif()
add_library(Quorvex::Sodium INTERFACE IMPORTED)
if(WIN32)
  set(QUORVEX_DEPS_DIR ${CMAKE_BINARY_DIR}/deps)
  find_path(QUORVEX_SODIUM_INCLUDE sodium.h PATHS ${QUORVEX_DEPS_DIR}/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_library(QUORVEX_SODIUM_LIBRARY libsodium.a PATHS ${QUORVEX_DEPS_DIR}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT QUORVEX_SODIUM_INCLUDE OR NOT QUORVEX_SODIUM_LIBRARY)
    message(FATAL_ERROR "libsodium is not in ${QUORVEX_DEPS_DIR}: run scripts/windows-deps.sh ${CMAKE_BINARY_DIR} "
                        "(scripts/build-windows.sh does)")
  endif()
  target_include_directories(Quorvex::Sodium INTERFACE ${QUORVEX_SODIUM_INCLUDE})
  target_compile_definitions(Quorvex::Sodium INTERFACE SODIUM_STATIC)
  target_link_libraries(Quorvex::Sodium INTERFACE ${QUORVEX_SODIUM_LIBRARY})
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
  target_link_libraries(Quorvex::Sodium INTERFACE PkgConfig::SODIUM)
endif()
