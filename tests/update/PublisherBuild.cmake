# The first two publishing steps of the README, as a publisher runs them,
# with the publisher's tool TOOL and the project's sources SOURCE in the
# scratch folder DIR (built with GENERATOR):
#   MODE=publish  keygen makes DIR/publisher.key and prints the public key;
#                 the project configured with it (DIR/build) carries it in
#                 its generated BuildConfig.h, for the signed update peer tests.
#   MODE=refuse   values that are no public key stop the configuration with
#                 the error that names them.

function(configure_with_key tree key)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${tree} -G ${GENERATOR} -DQUORVEX_TESTS=OFF
                          -DQUORVEX_BENCH=OFF "-DQUORVEX_UPDATE_PUBLIC_KEY=${key}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(result ${result} PARENT_SCOPE)
  string(REGEX REPLACE "[ \n]+" " " output "${output}")
  set(output "${output}" PARENT_SCOPE)
endfunction()

function(publish)
  file(REMOVE_RECURSE ${DIR})
  file(MAKE_DIRECTORY ${DIR})
  execute_process(COMMAND ${TOOL} keygen ${DIR}/publisher.key
                  RESULT_VARIABLE result OUTPUT_VARIABLE printed ERROR_VARIABLE errors)
  if(NOT result EQUAL 0 OR NOT printed MATCHES "^QUORVEX_UPDATE_PUBLIC_KEY=([^\n]*)\n$")
    message(FATAL_ERROR "keygen failed (${result}):\n${printed}${errors}")
  endif()
  set(key ${CMAKE_MATCH_1})
  configure_with_key(${DIR}/build ${key})
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the build does not configure with the key ${key} that keygen printed:\n${output}")
  endif()
  file(READ ${DIR}/build/generated/quorvex/BuildConfig.h config)
  string(FIND "${config}" "kUpdatePublicKey[] = \"${key}\";" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "BuildConfig.h does not carry the key ${key}:\n${config}")
  endif()
endfunction()

function(refuse)
  file(REMOVE_RECURSE ${DIR})
  foreach(key
      # 43 characters without the "=", and 45 with two of them
      "EuxEqYPEIUCFIiaW9HzTONQ0TmjmCKnMnRlvdLwDus8"
      "EuxEqYPEIUCFIiaW9HzTONQ0TmjmCKnMnRlvdLwDus8=="
      # a character outside base64; a blank
      "EuxEqYPEIUCFIiaW9HzTONQ0TmjmCKnMnRlvdLwDu-8="
      "EuxEqYPEIUCFIiaW9HzTONQ0TmjmCKnMnRlvdLw us8="
      # the last character's unused bits are not zero: no 32 bytes are written so
      "EuxEqYPEIUCFIiaW9HzTONQ0TmjmCKnMnRlvdLwDus9="
      # 33 bytes, 44 characters without padding
      "EuxEqYPEIUCFIiaW9HzTONQ0TmjmCKnMnRlvdLwDus8A")
    configure_with_key(${DIR} "${key}")
    if(result EQUAL 0 OR NOT output MATCHES "QUORVEX_UPDATE_PUBLIC_KEY must be an Ed25519 public key")
      message(FATAL_ERROR "the key \"${key}\" was not refused (${result}):\n${output}")
    endif()
    string(FIND "${output}" "\"${key}\" is not one" named)
    if(named EQUAL -1)
      message(FATAL_ERROR "the refusal of \"${key}\" does not name it:\n${output}")
    endif()
  endforeach()
  file(REMOVE_RECURSE ${DIR})
endfunction()

if(MODE STREQUAL "publish")
  publish()
elseif(MODE STREQUAL "refuse")
  refuse()
else()
  message(FATAL_ERROR "MODE must be publish or refuse")
endif()
