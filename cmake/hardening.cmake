# The Release configuration (what ./run.sh and tools/package.sh build) takes
# Debian's hardening flags from dpkg-buildflags: stack protector, format
# checks, _FORTIFY_SOURCE, and a read-only relocation table resolved at start
# (relro, bindnow). The optimisation level and debug information stay the
# Release configuration's own.
option(QELM_DEB_BUILDFLAGS "Release builds use Debian's hardening flags (dpkg-buildflags)" ON)
if(QELM_DEB_BUILDFLAGS AND CMAKE_BUILD_TYPE STREQUAL "Release")
  find_program(QELM_DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT QELM_DPKG_BUILDFLAGS)
    message(WARNING "dpkg-buildflags (package dpkg-dev) not found: building without Debian's hardening flags")
    return()
  endif()
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
        ${QELM_DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(_flags UNIX_COMMAND "${_flags}")
    list(FILTER _flags EXCLUDE REGEX "^-(g|O[0-9s]?)$")
    if(kind STREQUAL "LDFLAGS")
      add_link_options(${_flags})
    else()
      add_compile_options(${_flags})
    endif()
  endforeach()
endif()
