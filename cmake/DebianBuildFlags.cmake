# SPDX-License-Identifier: GPL-3.0-or-later
# A Release build takes Debian's hardening flags from dpkg-buildflags, as a package built by the
# distribution would: stack protector, fortified functions, format checks, position-independent
# programs, relocations made read-only and bound at start. The project keeps its own optimisation
# level. Other build types are left alone: the sanitizers and the fuzzer bring their own
# instrumentation, which fortified functions would get in the way of.
option(QUILLO_DEB_BUILDFLAGS "Release builds use the hardening flags of dpkg-buildflags" ON)
if(QUILLO_DEB_BUILDFLAGS AND CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT QUILLO_SANITIZE AND NOT QUILLO_FUZZ)
    find_program(QUILLO_DPKG_BUILDFLAGS dpkg-buildflags)
    if(NOT QUILLO_DPKG_BUILDFLAGS)
        message(FATAL_ERROR "dpkg-buildflags (Debian dpkg-dev) is needed for the hardening flags of a "
                            "Release build; configure with -DQUILLO_DEB_BUILDFLAGS=OFF to build without them")
    endif()
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        # bindnow is not among the defaults; options the builder gives come after, so they still win.
        execute_process(COMMAND ${CMAKE_COMMAND} -E env
                                "DEB_BUILD_MAINT_OPTIONS=hardening=+all $ENV{DEB_BUILD_MAINT_OPTIONS}"
                                ${QUILLO_DPKG_BUILDFLAGS} --get ${kind}
                        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE flags
                        OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX REPLACE "(^| )-O[0-9a-z]*" "" QUILLO_DEB_${kind} "${flags}")
    endforeach()
    string(APPEND CMAKE_CXX_FLAGS_RELEASE " ${QUILLO_DEB_CPPFLAGS} ${QUILLO_DEB_CXXFLAGS}")
    string(APPEND CMAKE_EXE_LINKER_FLAGS_RELEASE " ${QUILLO_DEB_LDFLAGS}")
    string(APPEND CMAKE_SHARED_LINKER_FLAGS_RELEASE " ${QUILLO_DEB_LDFLAGS}")
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    include(CheckPIESupported)
    check_pie_supported()
    message(STATUS "Release flags: ${CMAKE_CXX_FLAGS_RELEASE}; linking: ${CMAKE_EXE_LINKER_FLAGS_RELEASE}")
endif()
