# Refuses an include that reaches a layer the layer table does not allow (docs/ARCHITECTURE.md).
# Linking alone cannot see it: a target that links a layer sees every layer that one links
# publicly, so a header of the engine could still include the shell's.
#
#   cmake -DROOT=<dir> -P scripts/check-layers.cmake
#
# reads every #include "..." of every .h and .cpp under ROOT/src, gives the including file and
# the included path their layers by folder, and fails naming file, line and include for each
# one not allowed. An include outside every layer's folder (a system or Qt header in quotes) is
# not the table's business and passes.

cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED ROOT)
    message(FATAL_ERROR "check-layers: give the tree as -DROOT=<dir>")
endif()
get_filename_component(root "${ROOT}" ABSOLUTE)
if(NOT IS_DIRECTORY "${root}/src")
    message(FATAL_ERROR "check-layers: ${root}/src is no folder")
endif()

# The layers each layer may include, itself among them.
set(allowed_general general)
set(allowed_sound general sound)
set(allowed_document general sound document)
set(allowed_platform general platform)
set(allowed_platform_test general platform platform_test)
set(allowed_platform_qt general platform platform_qt)
set(allowed_platform_qt_audio general sound platform platform_qt_audio)
set(allowed_window_base general document platform window_base)
set(allowed_waveui general sound document platform window_base waveui)
set(allowed_music_core general sound document music_core)
set(allowed_factory_core general sound document factory_core)
set(allowed_factory_builtins general sound document factory_core factory_builtins)
set(allowed_music_ui general sound document platform window_base music_core music_ui)
set(allowed_factory_ui
    general sound document platform window_base factory_core factory_builtins factory_ui)
# The shell installs no service: it sees the interfaces, never their implementations.
set(allowed_shell
    general sound document platform window_base waveui music_core music_ui factory_core
    factory_builtins factory_ui shell)
set(allowed_app
    general sound document platform platform_test platform_qt platform_qt_audio window_base
    waveui music_core music_ui factory_core factory_builtins factory_ui shell app)

# The layer of a path relative to src/ ("" outside every layer), into the variable out.
function(layer_of path out)
    set(layer "")
    if(path STREQUAL "main.cpp")
        set(layer app)
    elseif(path MATCHES "^general/")
        set(layer general)
    elseif(path MATCHES "^sound/")
        set(layer sound)
    elseif(path MATCHES "^document/")
        set(layer document)
    elseif(path MATCHES "^platform/test/")
        set(layer platform_test)
    elseif(path MATCHES "^platform/qt/audio/")
        set(layer platform_qt_audio)
    elseif(path MATCHES "^platform/qt/")
        set(layer platform_qt)
    elseif(path MATCHES "^platform/[^/]+$")
        set(layer platform)
    elseif(path MATCHES "^window_base/")
        set(layer window_base)
    elseif(path MATCHES "^shell/[^/]+$")
        set(layer shell)
    elseif(path MATCHES "^waveui/")
        set(layer waveui)
    elseif(path MATCHES "^music/core/")
        set(layer music_core)
    elseif(path MATCHES "^music/ui/")
        set(layer music_ui)
    elseif(path MATCHES "^factory/core/")
        set(layer factory_core)
    elseif(path MATCHES "^factory/builtins/")
        set(layer factory_builtins)
    elseif(path MATCHES "^factory/ui/")
        set(layer factory_ui)
    endif()
    set(${out} "${layer}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE "${root}/src" "${root}/src/*.h" "${root}/src/*.cpp")
list(SORT sources)
set(checked 0)
set(refused 0)
foreach(source IN LISTS sources)
    layer_of("${source}" from)
    if(from STREQUAL "")
        # A file in no layer's folder belongs to no target, which is a fault of its own.
        message(NOTICE "src/${source}: error: lies in no layer's folder")
        math(EXPR refused "${refused} + 1")
        continue()
    endif()
    # Read whole and split by hand: a list made by file(STRINGS) breaks at every ";" and
    # loses the line numbers.
    file(READ "${root}/src/${source}" text)
    string(REPLACE ";" "<semicolon>" text "${text}")
    string(REPLACE "[" "<bracket>" text "${text}")
    string(REPLACE "]" "<bracket>" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    get_filename_component(folder "${source}" DIRECTORY)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
            continue()
        endif()
        set(included "${CMAKE_MATCH_1}")
        math(EXPR checked "${checked} + 1")
        layer_of("${included}" to)
        if(to STREQUAL "" AND EXISTS "${root}/src/${folder}/${included}")
            # A path beside the including file ("WaveCurve.h", "../shell/MainForm.h").
            set(beside "${folder}/${included}")
            cmake_path(NORMAL_PATH beside)
            layer_of("${beside}" to)
        endif()
        if(to STREQUAL "" OR to IN_LIST allowed_${from})
            continue()
        endif()
        # One unwrapped line per include, in the compilers' "file:line:" form.
        message(NOTICE "src/${source}:${number}: error: layer ${from} may not include "
                       "\"${included}\" (layer ${to})")
        math(EXPR refused "${refused} + 1")
    endforeach()
endforeach()

if(refused GREATER 0)
    message(FATAL_ERROR "check-layers: ${refused} include(s) break the layer table")
endif()
message(STATUS "check-layers: ${checked} includes in ${root}/src keep to the layer table")
