# SPDX-License-Identifier: GPL-3.0-or-later
# Redraws the pictures, the horn and the desktop icons with make_assets and compares
# them with the files kept in the source tree, so that a change to the drawing cannot
# leave the shipped files behind.
#   cmake -DMAKE_ASSETS=<tool> -DSOURCE_DIR=<source tree> -DWORK=<scratch> -P CheckAssets.cmake
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${MAKE_ASSETS} ${WORK}/resources ${WORK}/icons
    RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "make_assets failed (${result}): ${errors}")
endif()

set(pairs)
foreach(name face.ico smile.ico frown.ico topic.ico topic_selected.ico horn.wav)
    list(APPEND pairs "resources/${name}|${WORK}/resources/${name}")
endforeach()
foreach(size 16 32 48 64)
    list(APPEND pairs "packaging/icons/icon-${size}.png|${WORK}/icons/icon-${size}.png")
endforeach()

set(stale)
foreach(pair IN LISTS pairs)
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 kept)
    list(GET pair 1 drawn)
    file(SHA256 ${SOURCE_DIR}/${kept} keptHash)
    file(SHA256 ${drawn} drawnHash)
    if(NOT keptHash STREQUAL drawnHash)
        list(APPEND stale ${kept})
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
if(stale)
    message(FATAL_ERROR "not what make_assets draws now: ${stale}\n"
        "regenerate with: make_assets resources packaging/icons")
endif()
message(STATUS "all files match make_assets")
