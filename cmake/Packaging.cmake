# What is handed out, and how (the root Makefile's install, deb and release):
#
#   native build   `cmake --install` puts kelvado-card and kelvado-script into bin/, their man
#                  pages into share/man/man1 and the package's copyright and changelog into
#                  share/doc/kelvado-card; CPack makes the Debian package kelvado-card of the same
#                  files (`make deb`).
#   i686 build     the target `release`: dist/kelvado-VERSION-win32.zip in the build directory,
#                  kelvado.exe audited as on Windows 95/98 and the Japanese readme.txt
#                  (`make release` copies it to dist/ of the source tree).
#
# The version is the project's (project(kelvado VERSION ...)); nothing here writes one.

find_package(Python3 REQUIRED COMPONENTS Interpreter)

if(NOT KELVADO_IS_WIN32 AND NOT KELVADO_FUZZ)
  include(GNUInstallDirs)
  install(TARGETS kelvado-card kelvado-script RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  # The man pages: the version filled in, compressed as Debian keeps them (gzip -9n: no name
  # and no time in the header, so the same page gives the same bytes).
  set(man_pages "")
  foreach(page kelvado-card.1 kelvado-script.1)
    configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.in ${PROJECT_BINARY_DIR}/man/${page} @ONLY)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/man/${page}.gz
      COMMAND gzip -9nc ${page} > ${page}.gz
      DEPENDS ${PROJECT_BINARY_DIR}/man/${page}
      WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/man
      VERBATIM)
    list(APPEND man_pages ${PROJECT_BINARY_DIR}/man/${page}.gz)
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  # The package's own documents, as Debian wants them in /usr/share/doc/PACKAGE.
  set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/kelvado-card)
  # Its changelog holds one entry per version; the package test checks that the newest is this
  # one.
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/debian)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/docs/debian/changelog > changelog.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/debian/changelog
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/debian
    VERBATIM)
  add_custom_target(package_documents ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/debian/copyright
                ${PROJECT_BINARY_DIR}/debian/changelog.gz
          DESTINATION ${doc_dir})

  # The Debian package: kelvado-card_VERSION_ARCH.deb, stripped, its library dependencies found
  # by dpkg-shlibdeps. transfer runs no program of the system, so nothing is recommended.
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME kelvado-card)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kelvado developers <kelvado@example.org>")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make bootable Windows 95/98 cards from Linux")
  # The long description: CPack puts the summary above it and indents each line.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"kelvado-card transfer puts a Windows 95 or Windows 98 system drive, kept as a
folder or as a disk image, onto an ATA card (an image file or a card in a
reader): one active partition, FAT16 or FAT32, boot records that start the
system, the files with their short and long names, attributes and times as
Windows writes them. It then reads the whole card back and compares it with
the source. A card in a reader is written only when it is a whole disk that
nothing uses, and after confirmation.

kelvado-card also runs the card engine's single steps (geometry, format,
serial, partition scan) on disk images, and kelvado-script runs the Windows
wizard's scripts on the console.")
  include(CPack)
endif()

# The Windows release, made of the product only: the i686 build.
if(KELVADO_IS_WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(dist ${PROJECT_BINARY_DIR}/dist)
  set(zip ${dist}/kelvado-${PROJECT_VERSION}-win32.zip)
  set(readme ${PROJECT_SOURCE_DIR}/docs/readme-ja.txt)
  set(audits ${PROJECT_SOURCE_DIR}/tests/win32)
  # The audits first: a kelvado.exe that Windows 95/98 would not load, or whose dialogs and
  # texts are not the wizard's, is never zipped.
  add_custom_command(OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${dist}
    COMMAND ${Python3_EXECUTABLE} ${audits}/check_imports.py --objdump ${CMAKE_OBJDUMP}
            ${PROJECT_BINARY_DIR}/bin
    COMMAND ${Python3_EXECUTABLE} ${audits}/check_resources.py --version ${PROJECT_VERSION}
            $<TARGET_FILE:kelvado>
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/build/release_zip.py
            --exe $<TARGET_FILE:kelvado> --readme ${readme} --version ${PROJECT_VERSION}
            --out ${zip}
    DEPENDS kelvado ${readme} ${PROJECT_SOURCE_DIR}/tools/build/release_zip.py
            ${audits}/check_imports.py ${audits}/check_resources.py ${audits}/win9x_imports.txt
    VERBATIM)
  add_custom_target(release DEPENDS ${zip})
endif()
