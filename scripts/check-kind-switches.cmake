# Refuses a shell file that decides by a document's kind: the shell reaches a kind only through
# the kind registry, so a new kind plugs in without a shell edit.
#
#   cmake -DROOT=<dir> -P scripts/check-kind-switches.cmake
#
# fails naming file and line of each switch on a kind and each condition that names one
# ("case DocumentKind::Music", "== DocumentKind::Wave", "switch (....GetKind())").
# A kind named as a lookup's argument (WindowOfKind(child, DocumentKind::Wave)) passes.

cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED ROOT)
    message(FATAL_ERROR "check-kind-switches: give the tree as -DROOT=<dir>")
endif()
get_filename_component(root "${ROOT}" ABSOLUTE)

file(GLOB sources RELATIVE "${root}" "${root}/src/shell/*.h" "${root}/src/shell/*.cpp")
list(SORT sources)
set(refused 0)
foreach(source IN LISTS sources)
    file(READ "${root}/${source}" text)
    string(REPLACE ";" "<semicolon>" text "${text}")
    string(REPLACE "[" "<bracket>" text "${text}")
    string(REPLACE "]" "<bracket>" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(line MATCHES "case[ \t]+DocumentKind::"
           OR line MATCHES "[=!]=[ \t]*DocumentKind::"
           OR line MATCHES "DocumentKind::[A-Za-z]+[ \t]*[=!]="
           OR line MATCHES "switch[ \t]*\\(.*(GetKind|DocumentKind)")
            message(NOTICE "${source}:${number}: error: decides by the document kind: ${line}")
            math(EXPR refused "${refused} + 1")
        endif()
    endforeach()
endforeach()
if(refused GREATER 0)
    message(FATAL_ERROR "check-kind-switches: ${refused} place(s) decide by the document kind")
endif()
