# Build settings and helpers shared by every target.

set(STRATAVIEW_CORPUS_DIR "${CMAKE_SOURCE_DIR}/../shared/corpus")

add_compile_options(-Wall -Wextra -Werror)
if(WIN32)
  add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
# Only the plug-ins' exports leave a module; calls inside it bind directly.
set(CMAKE_CXX_VISIBILITY_PRESET hidden)
set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
if(STRATAVIEW_FUZZ)
  add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
endif()

# The CLI and the plug-ins carry their own C++ runtime on Linux as on Windows:
# a process per file then pays neither for loading libstdc++ nor for binding
# each plug-in's symbols against it.
function(strataview_self_contained target)
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,--exclude-libs,ALL -Wl,-O1
                        -Wl,--gc-sections)
  endif()
endfunction()

# Benchmarks (Google Benchmark) are built natively only, when the library is installed.
set(STRATAVIEW_BENCHMARKS OFF)
if(NOT WIN32 AND NOT STRATAVIEW_FUZZ)
  find_package(benchmark QUIET)
  set(STRATAVIEW_BENCHMARKS ${benchmark_FOUND})
endif()

# Plug-in texts and streams are Shift-JIS bytes; clang cannot convert literals,
# so its (fuzzing) build keeps them in UTF-8.
function(strataview_cp932 target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -fexec-charset=CP932)
  endif()
endfunction()

macro(strataview_setup_googletest)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  if(TARGET gtest)
    target_compile_options(gtest PRIVATE -Wno-error)
  endif()
endmacro()

# A GoogleTest program run by ctest (under wine64 in the win64 build; not at all
# in the win32 build, which cannot run here).
function(strataview_test name)
  cmake_parse_arguments(ARG "CP932" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gtest_main)
  target_compile_definitions(${name} PRIVATE STRATAVIEW_CORPUS_DIR="${STRATAVIEW_CORPUS_DIR}")
  if(ARG_CP932)
    strataview_cp932(${name})
  endif()
  if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    add_test(NAME ${name} COMMAND ${name})
  endif()
endfunction()

# A format plug-in: its sources as a library that tests and fuzz targets link,
# and the .hpi module with the framework's exports and, on Windows, its version
# dialog resources.
#   strataview_plugin(Voltane SOURCES ... VERSION_LINE "..." DIALOG_WIDTH 242)
function(strataview_plugin name)
  cmake_parse_arguments(ARG "" "VERSION_LINE;DIALOG_WIDTH" "SOURCES" ${ARGN})
  string(TOLOWER ${name} lower)
  add_library(${lower} STATIC ${ARG_SOURCES})
  target_include_directories(${lower} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${lower} PUBLIC hpi_framework)
  strataview_cp932(${lower})

  add_library(${name} MODULE $<TARGET_OBJECTS:hpi_exports>)
  target_link_libraries(${name} PRIVATE ${lower})
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".hpi")
  strataview_self_contained(${name})
  if(WIN32)
    set(PLUGIN_NAME ${name})
    set(PLUGIN_VERSION_LINE "${ARG_VERSION_LINE}")
    set(PLUGIN_DIALOG_WIDTH ${ARG_DIALOG_WIDTH})
    math(EXPR PLUGIN_OK_X "(${ARG_DIALOG_WIDTH} - 50) / 2")
    math(EXPR PLUGIN_LINE_WIDTH "${ARG_DIALOG_WIDTH} - 54")
    set(PLUGIN_ICON "${CMAKE_SOURCE_DIR}/resources/plugin.ico")
    configure_file(${CMAKE_SOURCE_DIR}/cmake/plugin.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${lower}.rc @ONLY)
    target_sources(${name} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${lower}.rc)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
      target_link_options(${name} PRIVATE -Wl,--kill-at)
    endif()
  endif()
  set_property(GLOBAL APPEND PROPERTY STRATAVIEW_PLUGINS ${name})
endfunction()

# A plug-in's benchmark program (native build only): its sources, the plug-in,
# the framework's exports and the test harness.
function(strataview_plugin_bench plugin)
  if(NOT STRATAVIEW_BENCHMARKS)
    return()
  endif()
  string(TOLOWER ${plugin} lower)
  add_executable(${lower}_bench ${ARGN} $<TARGET_OBJECTS:hpi_exports>)
  target_link_libraries(${lower}_bench PRIVATE ${lower} plugin_harness benchmark::benchmark_main)
  target_include_directories(${lower}_bench PRIVATE ${CMAKE_SOURCE_DIR}/bench/support)
  strataview_cp932(${lower}_bench)
endfunction()
