# Build settings shared by every library, executable and test.
set(CMAKE_AUTOMOC ON)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)

add_library(slip_common_cfg INTERFACE)
target_compile_features(slip_common_cfg INTERFACE cxx_std_20)
target_compile_options(slip_common_cfg INTERFACE -Wall -Wextra)
target_compile_definitions(slip_common_cfg INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_NO_CONTEXTLESS_CONNECT QT_NO_FOREACH)
# Headers are included from the repository root ("paysheet/PaySheet.h"), so a header's
# folder shows where it is used.
target_include_directories(slip_common_cfg INTERFACE ${CMAKE_SOURCE_DIR})

option(SLIP_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(SLIP_SANITIZE)
  target_compile_options(slip_common_cfg INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=undefined
                         -fno-omit-frame-pointer)
  target_link_options(slip_common_cfg INTERFACE -fsanitize=address,undefined)
endif()

# Copies a built executable into the staged program folder.
function(slip_stage_executable target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SLIP_STAGE_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${SLIP_STAGE_DIR}/
    VERBATIM)
endfunction()

# Makes delivered files at build time: `tool FOLDER` writes them; the first of them tells
# the build when the tool must run again.
function(slip_deliver target tool folder first_output comment)
  add_custom_command(OUTPUT ${first_output}
    COMMAND ${tool} ${folder}
    DEPENDS ${tool}
    COMMENT "${comment}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${first_output})
endfunction()
