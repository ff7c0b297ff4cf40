# libjpeg, for the advert previews, as the target Quorvex::Jpeg: the system's
# library on Linux; on Windows the static library that
# scripts/windows-deps.sh builds into the build folder's deps/.
if(TARGET Quorvex::Jpeg)
  return()
endif()
add_library(Quorvex::Jpeg INTERFACE IMPORTED)
if(WIN32)
  set(QUORVEX_DEPS_DIR ${CMAKE_BINARY_DIR}/deps)
  find_path(QUORVEX_JPEG_INCLUDE jpeglib.h PATHS ${QUORVEX_DEPS_DIR}/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  find_library(QUORVEX_JPEG_LIBRARY libjpeg.a PATHS ${QUORVEX_DEPS_DIR}/lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT QUORVEX_JPEG_INCLUDE OR NOT QUORVEX_JPEG_LIBRARY)
    message(FATAL_ERROR "libjpeg is not in ${QUORVEX_DEPS_DIR}: run scripts/windows-deps.sh ${CMAKE_BINARY_DIR} "
                        "(scripts/build-windows.sh does)")
  endif()
  target_include_directories(Quorvex::Jpeg INTERFACE ${QUORVEX_JPEG_INCLUDE})
  target_link_libraries(Quorvex::Jpeg INTERFACE ${QUORVEX_JPEG_LIBRARY})
else()
  find_package(JPEG REQUIRED)
  target_link_libraries(Quorvex::Jpeg INTERFACE JPEG::JPEG)
endif()
