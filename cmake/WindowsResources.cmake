# What the resource scripts of the Windows programs (resources/windows) read
# besides their own folder: the icon, made at build time from the hicolor PNGs
# by icoutils' icotool, the version header from project(VERSION), and the
# windows' artwork: the PNG pictures of resources/artwork as 32-bit icons
# (icotool keeps their size and transparency) and the dropper's cursor, made
# from its X bitmaps by tools/cursor.
find_program(QUORVEX_ICOTOOL icotool REQUIRED)

# The version header for version (four numbers) in folder.
function(quorvex_windows_version_header folder version)
  if(NOT version MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "A Windows version resource needs four numbers, not ${version}")
  endif()
  string(REPLACE "." "," QUORVEX_RESOURCE_VERSION_NUMBERS ${version})
  set(QUORVEX_RESOURCE_VERSION ${version})
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/QuorvexVersion.h.in ${folder}/QuorvexVersion.h @ONLY)
endfunction()
set(QUORVEX_WINDOWS_RESOURCES_DIR ${CMAKE_BINARY_DIR}/resources/windows)
quorvex_windows_version_header(${QUORVEX_WINDOWS_RESOURCES_DIR} ${PROJECT_VERSION})

# 256 pixels stays a PNG inside the icon (-r), as Windows expects it.
set(icon_pictures)
set(icon_arguments)
foreach(size 16 24 32 48 64 128)
  set(picture ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/com.example.Quorvex.png)
  list(APPEND icon_pictures ${picture})
  list(APPEND icon_arguments ${picture})
endforeach()
set(large_picture ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/256x256/apps/com.example.Quorvex.png)
list(APPEND icon_pictures ${large_picture})
list(APPEND icon_arguments -r ${large_picture})

set(QUORVEX_WINDOWS_ICON ${QUORVEX_WINDOWS_RESOURCES_DIR}/quorvex.ico)
add_custom_command(
  OUTPUT ${QUORVEX_WINDOWS_ICON}
  COMMAND ${QUORVEX_ICOTOOL} -c -o ${QUORVEX_WINDOWS_ICON} ${icon_arguments}
  DEPENDS ${icon_pictures}
  COMMENT "Making the Windows icon"
  VERBATIM)
add_custom_target(quorvex_windows_icon DEPENDS ${QUORVEX_WINDOWS_ICON})

set(QUORVEX_WINDOWS_ARTWORK)
foreach(picture logo donate dropper)
  set(artwork ${QUORVEX_WINDOWS_RESOURCES_DIR}/${picture}.ico)
  add_custom_command(
    OUTPUT ${artwork}
    COMMAND ${QUORVEX_ICOTOOL} -c -o ${artwork} ${PROJECT_SOURCE_DIR}/resources/artwork/${picture}.png
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/artwork/${picture}.png
    COMMENT "Making the Windows picture ${picture}.ico"
    VERBATIM)
  list(APPEND QUORVEX_WINDOWS_ARTWORK ${artwork})
endforeach()
set(cursor ${QUORVEX_WINDOWS_RESOURCES_DIR}/dropper.cur)
add_custom_command(
  OUTPUT ${cursor}
  COMMAND quorvex_cursor ${cursor}
  DEPENDS quorvex_cursor
  COMMENT "Making the Windows dropper cursor"
  VERBATIM)
list(APPEND QUORVEX_WINDOWS_ARTWORK ${cursor})
add_custom_target(quorvex_windows_artwork DEPENDS ${QUORVEX_WINDOWS_ARTWORK})

# Lets the target's resource script (already among its sources) find the
# generated files, and compiles it again when one of them changes.
function(quorvex_windows_resources target script)
  target_include_directories(${target} PRIVATE ${QUORVEX_WINDOWS_RESOURCES_DIR})
  add_dependencies(${target} quorvex_windows_icon quorvex_windows_artwork)
  get_target_property(target_folder ${target} SOURCE_DIR)
  set_property(SOURCE ${script} DIRECTORY ${target_folder} APPEND PROPERTY OBJECT_DEPENDS
               ${QUORVEX_WINDOWS_ICON} ${QUORVEX_WINDOWS_ARTWORK} ${QUORVEX_WINDOWS_RESOURCES_DIR}/QuorvexVersion.h
               ${PROJECT_SOURCE_DIR}/resources/windows/ResourceIds.h
               ${PROJECT_SOURCE_DIR}/resources/windows/VersionInfo.rc)
endfunction()
