# The hardening that Debian builds its programs with (dpkg-buildflags'
# "hardening=+all"): a protected stack, checked buffer functions, read-only
# relocations bound at start, position-independent executables. Linux only:
# the mingw-w64 build links statically and has no libssp to protect stacks
# with. The sanitizer build leaves the buffer checks to its own. Control-flow
# protection (-fcf-protection) is left out: the C library's start files here
# carry no IBT/SHSTK mark, so no program linked with them can.
if(NOT WIN32)
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_compile_options(-fstack-protector-strong -fstack-clash-protection)
  if(NOT QUORVEX_SANITIZE)
    # The checks need an optimising build; without one glibc warns, which fails -Werror.
    set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
    add_compile_options($<${optimised}:-U_FORTIFY_SOURCE> $<${optimised}:-D_FORTIFY_SOURCE=2>)
  endif()
  add_link_options(-Wl,-z,relro,-z,now)
endif()
