# Installing and packaging (scripts/package.sh): the Debian package with
# CPack on Linux; the Windows zip is put together by the script from the
# Windows build. The version is the project's VERSION.

include(GNUInstallDirs)

install(TARGETS jkrescale-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET jkrescale)
  install(TARGETS jkrescale RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(NOT WIN32)
  # The application menu shows the desktop program with its icon.
  install(FILES packaging/jkrescale.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES resources/jkrescale.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
endif()

# For the scripts that name packages after the version.
file(WRITE ${CMAKE_BINARY_DIR}/version.txt "${PROJECT_VERSION}\n")

set(CPACK_PACKAGE_NAME jkrescale)
set(CPACK_PACKAGE_VENDOR "the jkrescale developers")
set(CPACK_PACKAGE_CONTACT "the jkrescale developers <jkrescale@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Rescale a level of Jedi Knight or Mysteries of the Sith and play it")
set(CPACK_PACKAGE_DESCRIPTION
    "jkrescale multiplies every length of a level of the game Jedi Knight (or of its expansion,\n"
    "Mysteries of the Sith) and of the models of its scenery by a factor you choose, writes a\n"
    "one-level test episode and starts the game on it. The game's archives are only read.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # jkrescale_VERSION_amd64.deb
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.invalid/jkrescale")
# The libraries the programs link (Qt's among them), found by
# dpkg-shlibdeps, and Qt's platform plugins, which the desktop program
# loads at run time and no link shows.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "wine")
# Installed without their symbols, as Debian's own programs are.
set(CPACK_STRIP_FILES ON)
include(CPack)
