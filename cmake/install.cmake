# What `cmake --install` puts in place, and the Debian package cpack builds
# from it: the two commands, the desktop entry, the icon, the AppStream
# metadata, the bash completion of qelm-report, the manual pages, the copyright and changelog in share/doc/qelm,
# and share/qelm, whose presence tells the program that it runs installed
# (the person list then lives in the per-user data folder).
include(GNUInstallDirs)

set(QELM_APP_ID io.github.qelm.QELM)
set(_data ${CMAKE_SOURCE_DIR}/data)

install(TARGETS qelm-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(QELM_BUILD_UI)
  install(TARGETS qelm RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${_data}/${QELM_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_data}/${QELM_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_data}/icons/${QELM_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${_data}/icons/${QELM_APP_ID}.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${_data}/README.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/qelm)
install(FILES ${_data}/qelm-report.schema.json DESTINATION ${CMAKE_INSTALL_DATADIR}/qelm)

# The bash completion of qelm-report, where bash-completion looks for it:
# its completionsdir (pkg-config) taken below the install prefix, else
# share/bash-completion/completions there.
set(QELM_BASH_COMPLETIONS ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_get_variable(_bc_dir bash-completion completionsdir)
  pkg_get_variable(_bc_prefix bash-completion prefix)
  if(_bc_dir AND _bc_prefix)
    string(LENGTH "${_bc_prefix}/" _bc_length)
    string(SUBSTRING "${_bc_dir}" 0 ${_bc_length} _bc_start)
    if(_bc_start STREQUAL "${_bc_prefix}/")
      string(SUBSTRING "${_bc_dir}" ${_bc_length} -1 QELM_BASH_COMPLETIONS)
    endif()
  endif()
endif()
install(FILES ${_data}/qelm-report.bash-completion DESTINATION ${QELM_BASH_COMPLETIONS} RENAME qelm-report)

# A stripped install (cpack, `cmake --install --strip`) also drops the
# compiler's version notes, as Debian's own packaging does.
set(_programs qelm-report)
if(QELM_BUILD_UI)
  list(APPEND _programs qelm)
endif()
foreach(exe ${_programs})
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${exe}\"
        COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endforeach()

# Manual pages, compressed as Debian keeps them (-n: no time stamp, so the
# package is the same from build to build).
find_program(QELM_GZIP gzip REQUIRED)
set(_man_gz)
foreach(page qelm.1 qelm-report.1)
  set(_gz ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${QELM_GZIP} -9 -n -c ${_data}/man/${page} > ${_gz}
    DEPENDS ${_data}/man/${page}
    VERBATIM)
  list(APPEND _man_gz ${_gz})
endforeach()
add_custom_target(qelm_man ALL DEPENDS ${_man_gz})
install(FILES ${_man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Who answers for the package: the Maintainer field and the changelog's
# signature. By Debian's convention the person building the package names
# themselves in DEBFULLNAME and DEBEMAIL (tools/package.sh insists on it).
if(NOT QELM_MAINTAINER AND DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
  set(_maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  set(_maintainer "")
endif()
set(QELM_MAINTAINER "${_maintainer}" CACHE STRING
  "Maintainer of the Debian package, \"Name <address>\": the person who answers for it")
if(QELM_MAINTAINER)
  set(_signature "${QELM_MAINTAINER}")
else()
  set(_signature "The QELM developers <nobody@invalid>")
endif()

# The licence and the sources of the bundled data (machine-readable), and
# the changelog, as Debian keeps them in share/doc/qelm.
install(FILES ${_data}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(QELM_MAINTAINER_SIGNATURE "${_signature}")
configure_file(${_data}/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
set(_changelog_gz ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${_changelog_gz}
  COMMAND ${QELM_GZIP} -9 -n -c ${CMAKE_BINARY_DIR}/doc/changelog > ${_changelog_gz}
  DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog
  VERBATIM)
add_custom_target(qelm_changelog ALL DEPENDS ${_changelog_gz})
install(FILES ${_changelog_gz} DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Debian package: `cpack -G DEB` in a Release build (tools/package.sh).
set(CPACK_PACKAGE_NAME qelm)
set(CPACK_PACKAGE_VENDOR "The QELM developers")
set(CPACK_PACKAGE_CONTACT "${_signature}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${_signature}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Chinese Four-Pillars (BaZi) birth charts")
set(CPACK_PACKAGE_DESCRIPTION
  "QELM casts and reads Chinese Four-Pillars (八字) birth charts in a desktop
program whose whole interface is Traditional Chinese: lunar date, four
pillars, hidden stems, ten gods, sound elements, palaces, luck pillars and
their analysis windows. Charts can be printed or saved as PDF or PNG.
qelm-report gives the same results as text, JSON or PDF.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies from the linked shared libraries; the fonts the
# windows are drawn with come on top.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# tzdata: birthplaces read the system's zoneinfo.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, tzdata")
# Qt's file and print dialogs in Traditional Chinese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_GENERATOR DEB)
include(CPack)
