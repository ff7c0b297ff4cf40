# The Windows release in build-windows/release/: quorvex.exe, quorvex-cli.exe
# and the installer QuorvexSetup-<version>.exe that puts them in place, made
# by Debian's makensis from resources/windows/installer/Quorvex.nsi. Given a
# code-signing certificate (PKCS#12, with its password in a file), the
# programs, the installer and its uninstaller are signed with osslsigncode.
find_program(QUORVEX_MAKENSIS makensis REQUIRED)
set(QUORVEX_PUBLISHER "The Quorvex Developers" CACHE STRING "Publisher named in the installed-programs list")
set(QUORVEX_CODESIGN_PKCS12 "" CACHE FILEPATH "Code-signing certificate (PKCS#12) for the Windows release")
set(QUORVEX_CODESIGN_PASSWORD_FILE "" CACHE FILEPATH "File holding the code-signing certificate's password")

set(QUORVEX_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(release_dir ${QUORVEX_RELEASE_DIR})
set(QUORVEX_INSTALLER ${release_dir}/QuorvexSetup-${PROJECT_VERSION}.exe)
set(installer ${QUORVEX_INSTALLER})
set(sign_script ${PROJECT_SOURCE_DIR}/scripts/sign-windows.sh)
if(QUORVEX_CODESIGN_PKCS12)
  if(NOT EXISTS "${QUORVEX_CODESIGN_PKCS12}" OR NOT EXISTS "${QUORVEX_CODESIGN_PASSWORD_FILE}")
    message(FATAL_ERROR "QUORVEX_CODESIGN_PKCS12 and QUORVEX_CODESIGN_PASSWORD_FILE must name existing files")
  endif()
  find_program(QUORVEX_OSSLSIGNCODE osslsigncode REQUIRED)
  set(sign ${sign_script} ${QUORVEX_CODESIGN_PKCS12} ${QUORVEX_CODESIGN_PASSWORD_FILE})
  string(JOIN " " nsis_sign ${sign} "%1")
  message(STATUS "Windows release: signed with ${QUORVEX_CODESIGN_PKCS12}")
else()
  set(sign true)
  set(nsis_sign "")
  message(STATUS "Windows release: not signed (no QUORVEX_CODESIGN_PKCS12 given)")
endif()

# The makensis command that makes the installer of version from the two
# programs, signed by the command nsis_sign (empty: not signed).
set(QUORVEX_INSTALLER_SCRIPT ${PROJECT_SOURCE_DIR}/resources/windows/installer/Quorvex.nsi)
function(quorvex_makensis_command variable installer version quorvex_exe cli_exe nsis_sign)
  set(${variable} ${QUORVEX_MAKENSIS} -V2 -DVERSION=${version} -DOUTFILE=${installer}
      -DQUORVEX_EXE=${quorvex_exe} -DCLI_EXE=${cli_exe} -DICON=${QUORVEX_WINDOWS_ICON}
      "-DPUBLISHER=${QUORVEX_PUBLISHER}" "-DSIGN=${nsis_sign}" ${QUORVEX_INSTALLER_SCRIPT} PARENT_SCOPE)
endfunction()

quorvex_makensis_command(makensis ${installer} ${PROJECT_VERSION} ${release_dir}/quorvex.exe
                         ${release_dir}/quorvex-cli.exe "${nsis_sign}")
add_custom_command(OUTPUT ${installer} ${release_dir}/quorvex.exe ${release_dir}/quorvex-cli.exe
  COMMAND ${CMAKE_COMMAND} -E make_directory ${release_dir}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quorvex> $<TARGET_FILE:quorvex-cli> ${release_dir}
  COMMAND ${sign} ${release_dir}/quorvex.exe
  COMMAND ${sign} ${release_dir}/quorvex-cli.exe
  COMMAND ${makensis}
  DEPENDS quorvex quorvex-cli ${QUORVEX_WINDOWS_ICON} ${QUORVEX_INSTALLER_SCRIPT}
          ${sign_script}
  COMMENT "Making the installer ${installer}"
  VERBATIM)
add_custom_target(installer ALL DEPENDS ${installer})
