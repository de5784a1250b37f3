# SPDX-License-Identifier: MIT
# One helper registers every test executable with CTest.
#
#   plotloom_add_test(<name> SOURCES <files...> [LIBRARIES <targets...>] [DISPLAY | BOTH_PLATFORMS]
#                     [KEYBOARD_FOCUS] [TIMEOUT <s>])
#
# DISPLAY marks tests that need an X display with OpenGL (they run on the xcb platform, under
# the virtual X server the test command starts); all others run on the offscreen platform.
# KEYBOARD_FOCUS runs a display test alone: the tests share one X server, and a window another
# test shows takes the keyboard focus from the window this one activated.
# BOTH_PLATFORMS runs the test on the offscreen platform and again, as <name>_xcb, on xcb, for
# behaviour that must not depend on the platform.
# Every test runs in the C.UTF-8 locale with its own runtime folder, so results do not depend
# on the machine's settings. PLOTLOOM_CORPUS in a test's environment names the folder of real
# screenplays; the tests that need it skip, saying so, when it is missing.

if(NOT IS_DIRECTORY "${PLOTLOOM_CORPUS_DIR}")
    message(STATUS "Screenplay corpus not found at ${PLOTLOOM_CORPUS_DIR}: the tests that read "
                   "it will be skipped (set PLOTLOOM_CORPUS_DIR)")
endif()

set(PLOTLOOM_XDG_RUNTIME_DIR "${CMAKE_BINARY_DIR}/xdg-runtime")
file(MAKE_DIRECTORY "${PLOTLOOM_XDG_RUNTIME_DIR}")
file(CHMOD "${PLOTLOOM_XDG_RUNTIME_DIR}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# Registers one CTest run of an executable on a platform, xcb or offscreen.
function(plotloom_register_test name executable platform timeout)
    add_test(NAME ${name} COMMAND ${executable})
    set(environment LC_ALL=C.UTF-8 XDG_RUNTIME_DIR=${PLOTLOOM_XDG_RUNTIME_DIR}
                    PLOTLOOM_CORPUS=${PLOTLOOM_CORPUS_DIR})
    if(platform STREQUAL "xcb")
        list(APPEND environment QT_QPA_PLATFORM=xcb)
        set_tests_properties(${name} PROPERTIES LABELS display)
        # The GL driver is unloaded before the leak check runs, so its own process-lifetime
        # allocations cannot be told from ours; leaks are checked in the tests without GL.
        if(PLOTLOOM_SANITIZE)
            list(APPEND environment
                 ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:detect_stack_use_after_return=0)
        endif()
    else()
        list(APPEND environment QT_QPA_PLATFORM=offscreen)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout} ENVIRONMENT "${environment}")
endfunction()

function(plotloom_add_test name)
    cmake_parse_arguments(T "DISPLAY;BOTH_PLATFORMS;KEYBOARD_FOCUS" "TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    add_executable(${name} ${T_SOURCES})
    # One folder for every test, one level below the build, like the programs, so that they
    # find the modules where the programs do.
    set_target_properties(${name} PROPERTIES AUTOMOC ON RUNTIME_OUTPUT_DIRECTORY
                          "${CMAKE_BINARY_DIR}/tests")
    target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBRARIES})
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests/common")
    target_compile_definitions(${name} PRIVATE PLOTLOOM_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    if(T_DISPLAY)
        plotloom_register_test(${name} ${name} xcb ${T_TIMEOUT})
    else()
        plotloom_register_test(${name} ${name} offscreen ${T_TIMEOUT})
    endif()
    if(T_BOTH_PLATFORMS)
        plotloom_register_test(${name}_xcb ${name} xcb ${T_TIMEOUT})
    endif()
    if(T_KEYBOARD_FOCUS)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
endfunction()
