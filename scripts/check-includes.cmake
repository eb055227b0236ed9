# The IncludeMatrix test: every `#include "folder/..."` in src/ must name the folder itself or one
# that src/Layers.cmake allows it. Run as
#   cmake -DORVANRX_SOURCE_DIR=<repo>/src -P scripts/check-includes.cmake
# Prints each include that breaks the table (file, line, folder) and fails; passes silently.
cmake_minimum_required(VERSION 3.25)
if(NOT ORVANRX_SOURCE_DIR)
    message(FATAL_ERROR "check-includes: set ORVANRX_SOURCE_DIR to the src/ folder")
endif()
include(${ORVANRX_SOURCE_DIR}/Layers.cmake)

file(GLOB entries LIST_DIRECTORIES true RELATIVE ${ORVANRX_SOURCE_DIR} ${ORVANRX_SOURCE_DIR}/*)
set(folders "")
foreach(entry IN LISTS entries)
    if(IS_DIRECTORY ${ORVANRX_SOURCE_DIR}/${entry})
        list(APPEND folders ${entry})
    endif()
endforeach()

set(broken "")
foreach(folder IN LISTS folders)
    if(NOT DEFINED ORVANRX_MAY_INCLUDE_${folder})
        list(APPEND broken "src/${folder}/: no line for this folder in src/Layers.cmake")
        continue()
    endif()
    set(allowed ${ORVANRX_MAY_INCLUDE_${folder}} ${folder})
    file(GLOB_RECURSE sources ${ORVANRX_SOURCE_DIR}/${folder}/*.h ${ORVANRX_SOURCE_DIR}/${folder}/*.cpp
         ${ORVANRX_SOURCE_DIR}/${folder}/*.in)
    foreach(source IN LISTS sources)
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z0-9_]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z0-9_]+)/.*" "\\1" used
                                 "${line}")
            if(NOT used IN_LIST allowed AND used IN_LIST folders)
                file(RELATIVE_PATH shown ${ORVANRX_SOURCE_DIR}/.. ${source})
                list(APPEND broken "${shown}: ${line} (${folder}/ may not include ${used}/)")
            endif()
        endforeach()
    endforeach()
endforeach()

if(broken)
    list(JOIN broken "\n" text)
    message(FATAL_ERROR "Includes that break the layering of src/Layers.cmake:\n${text}")
endif()
