# The Debian package that scripts/package builds with CPack: everything
# `cmake --install` installs, under /usr, with its dependencies found by
# dpkg-shlibdeps, the copyright and changelog files Debian asks for, and the
# README.

option(BRIMWALD_DEBIAN_PACKAGE
  "Also install the Debian package's copyright, changelog and README" OFF)
set(BRIMWALD_PACKAGE_MAINTAINER
  "Brimwald Ripper maintainers <maintainers@brimwald.invalid>"
  CACHE STRING "The Debian package's Maintainer field")

if(BRIMWALD_DEBIAN_PACKAGE)
  set(brimwald_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${PROJECT_NAME})
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright
    ${CMAKE_SOURCE_DIR}/README.md
    DESTINATION ${brimwald_doc_dir})
  # Compressed as Debian policy asks: gzip -9, without name or timestamp.
  set(brimwald_changelog ${CMAKE_CURRENT_LIST_DIR}/debian/changelog)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${brimwald_changelog})
  execute_process(COMMAND gzip -9n
    INPUT_FILE ${brimwald_changelog}
    OUTPUT_FILE ${CMAKE_BINARY_DIR}/changelog.gz
    COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${CMAKE_BINARY_DIR}/changelog.gz
    DESTINATION ${brimwald_doc_dir})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${BRIMWALD_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "extract the audio streams of .str sound-stream containers")
# CPack puts the summary on the Description field's first line.
set(CPACK_PACKAGE_DESCRIPTION
  "Brimwald Ripper pulls the audio streams out of a game's .str sound-stream
containers (PC, PS3, Wii and Xbox 360 alike). Its window lists a folder's
containers, inspects the chosen one, extracts its files or writes a rip
script for them. brimwald-ripper-cli does the same on the command line,
and quarnel is the cutting tool the rip scripts call.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's design is measured for DejaVu Sans.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-core)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Staged with DESTDIR, so that the install leaves the MIME and desktop caches
# to the system's package triggers (app/qt/desktop/CMakeLists.txt).
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
