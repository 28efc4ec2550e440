# SPDX-License-Identifier: GPL-3.0-or-later
# Installs TurnKeeper as a desktop program (cmake --install) and builds its Debian
# package (cpack -G DEB). One reverse-DNS id names the desktop entry, the metainfo
# file and the icon.
include(GNUInstallDirs)

set(TURNKEEPER_APP_ID io.github.turnkeeper.TurnKeeper)
set(TURNKEEPER_PACKAGING_SOURCE_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TURNKEEPER_PACKAGING_BINARY_DIR ${PROJECT_BINARY_DIR}/packaging)

# Lets the desktop match the program's windows to its entry and icon.
target_compile_definitions(TurnKeeper PRIVATE TURNKEEPER_APP_ID="${TURNKEEPER_APP_ID}")

# turnkeeper-lock beside it, for the administrator (through sudo).
install(TARGETS TurnKeeper turnkeeper-lock RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The guard, a system service: its program, its systemd unit (configured when installing,
# for the final prefix, as the desktop entry is), its D-Bus policy and its activation
# file. The system bus reloads its policy by itself when a file appears in system.d.
install(TARGETS turnkeeper-guard RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR})
set(TURNKEEPER_SYSTEMD_UNIT_DIR lib/systemd/system
    CACHE STRING "Where systemd's units go, under the prefix unless absolute")
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBEXECDIR}")
    set(turnkeeperGuardExecutable "${CMAKE_INSTALL_LIBEXECDIR}/turnkeeper-guard")
else()
    set(turnkeeperGuardExecutable "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/turnkeeper-guard")
endif()
set(turnkeeperInstalledUnit ${TURNKEEPER_PACKAGING_BINARY_DIR}/install/turnkeeper-guard.service)
install(CODE "
    set(TURNKEEPER_GUARD_EXECUTABLE \"${turnkeeperGuardExecutable}\")
    configure_file([==[${TURNKEEPER_PACKAGING_SOURCE_DIR}/turnkeeper-guard.service.in]==]
                   [==[${turnkeeperInstalledUnit}]==] @ONLY)
")
install(FILES ${turnkeeperInstalledUnit} DESTINATION ${TURNKEEPER_SYSTEMD_UNIT_DIR})
install(FILES ${TURNKEEPER_PACKAGING_SOURCE_DIR}/io.github.turnkeeper.Guard1.conf
    DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/system.d)
install(FILES ${TURNKEEPER_PACKAGING_SOURCE_DIR}/io.github.turnkeeper.Guard1.service
    DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/system-services)

# The sound module, which the program loads when a turn first starts.
install(TARGETS turnkeeper-sound LIBRARY DESTINATION ${TURNKEEPER_MODULE_DIR})

# The program opens these by bare name from its working folder, which the desktop
# entry sets to this folder.
set(TURNKEEPER_DATA_SUBDIR turnkeeper)
list(TRANSFORM TURNKEEPER_RUNTIME_FILES PREPEND ${PROJECT_SOURCE_DIR}/resources/
    OUTPUT_VARIABLE turnkeeperRuntimePaths)
install(FILES ${turnkeeperRuntimePaths}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/${TURNKEEPER_DATA_SUBDIR})

# The desktop entry's Path must be absolute, and the final prefix is only known when
# installing (cmake --install --prefix, cpack's /usr). The copy configured here, for
# this build's prefix, is the one the tests validate; the installed copy is configured
# again from the same template by the install script.
set(TURNKEEPER_DESKTOP_TEMPLATE
    ${TURNKEEPER_PACKAGING_SOURCE_DIR}/${TURNKEEPER_APP_ID}.desktop.in)
set(TURNKEEPER_DESKTOP_FILE ${TURNKEEPER_PACKAGING_BINARY_DIR}/${TURNKEEPER_APP_ID}.desktop)
set(TURNKEEPER_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/${TURNKEEPER_DATA_SUBDIR})
configure_file(${TURNKEEPER_DESKTOP_TEMPLATE} ${TURNKEEPER_DESKTOP_FILE} @ONLY)

if(IS_ABSOLUTE "${CMAKE_INSTALL_DATADIR}")
    set(turnkeeperInstalledDataDir "${CMAKE_INSTALL_DATADIR}/${TURNKEEPER_DATA_SUBDIR}")
else()
    set(turnkeeperInstalledDataDir
        "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/${TURNKEEPER_DATA_SUBDIR}")
endif()
set(turnkeeperInstalledDesktopFile
    ${TURNKEEPER_PACKAGING_BINARY_DIR}/install/${TURNKEEPER_APP_ID}.desktop)
install(CODE "
    set(TURNKEEPER_DATA_DIR \"${turnkeeperInstalledDataDir}\")
    set(TURNKEEPER_APP_ID [==[${TURNKEEPER_APP_ID}]==])
    set(PROJECT_DESCRIPTION [==[${PROJECT_DESCRIPTION}]==])
    configure_file([==[${TURNKEEPER_DESKTOP_TEMPLATE}]==]
                   [==[${turnkeeperInstalledDesktopFile}]==] @ONLY)
")
install(FILES ${turnkeeperInstalledDesktopFile}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(TURNKEEPER_METAINFO_FILE
    ${TURNKEEPER_PACKAGING_BINARY_DIR}/${TURNKEEPER_APP_ID}.metainfo.xml)
configure_file(${TURNKEEPER_PACKAGING_SOURCE_DIR}/${TURNKEEPER_APP_ID}.metainfo.xml.in
    ${TURNKEEPER_METAINFO_FILE} @ONLY)
install(FILES ${TURNKEEPER_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The smiling face, drawn by tools/make_assets (the PNGs) and by hand (the SVG).
foreach(size 16 32 48 64)
    install(FILES ${TURNKEEPER_PACKAGING_SOURCE_DIR}/icons/icon-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${TURNKEEPER_APP_ID}.png)
endforeach()
install(FILES ${TURNKEEPER_PACKAGING_SOURCE_DIR}/icons/${TURNKEEPER_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The manual pages, written in packaging/man/, by file name: the part after the last
# dot is the section. A new page is one more line here; the tests check each with
# man --warnings.
set(TURNKEEPER_MAN_PAGES
    TurnKeeper.1
    turnkeeper-lock.1
    turnkeeper-guard.8
)
list(TRANSFORM TURNKEEPER_MAN_PAGES PREPEND ${TURNKEEPER_PACKAGING_SOURCE_DIR}/man/
    OUTPUT_VARIABLE TURNKEEPER_MAN_PAGE_FILES)

# Debian wants manual pages and changelogs compressed with gzip -9n (no name, no time,
# so the same sources give the same bytes).
find_program(GZIP_PROGRAM gzip REQUIRED)
function(turnkeeper_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND ${GZIP_PROGRAM} -9nc ${source} > ${output}
        DEPENDS ${source}
        COMMENT "Compressing ${source}"
        VERBATIM)
endfunction()

set(turnkeeperCompressed)
foreach(page IN LISTS TURNKEEPER_MAN_PAGES)
    string(REGEX MATCH "[^.]+$" section ${page})
    set(compressed ${TURNKEEPER_PACKAGING_BINARY_DIR}/man/${page}.gz)
    file(MAKE_DIRECTORY ${TURNKEEPER_PACKAGING_BINARY_DIR}/man)
    turnkeeper_gzip(${TURNKEEPER_PACKAGING_SOURCE_DIR}/man/${page} ${compressed})
    install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
    list(APPEND turnkeeperCompressed ${compressed})
endforeach()

# The package's copyright (machine-readable) and changelog, where Debian looks for
# them. The package is native: its changelog is changelog.gz.
set(turnkeeperChangelog ${TURNKEEPER_PACKAGING_BINARY_DIR}/changelog.gz)
turnkeeper_gzip(${TURNKEEPER_PACKAGING_SOURCE_DIR}/changelog ${turnkeeperChangelog})
list(APPEND turnkeeperCompressed ${turnkeeperChangelog})
add_custom_target(turnkeeper_documents ALL DEPENDS ${turnkeeperCompressed})
install(FILES ${TURNKEEPER_PACKAGING_SOURCE_DIR}/copyright ${turnkeeperChangelog}
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/turnkeeper)

# The Debian package installs under /usr whatever prefix this build was configured
# for. With DESTDIR staging the install script sees /usr as its prefix, so the
# packaged desktop entry's Path reads /usr/share/turnkeeper.
set(TURNKEEPER_PACKAGE_MAINTAINER "TurnKeeper developers <turnkeeper@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME turnkeeper)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
# Debian wants the long description in lines of less than 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "A parent sets the length of a turn in minutes; anyone starts the timer,"
    "and the window turns green, smiles and fills its progress bar once a"
    "second. When the time is up it jumps on top of every other window, turns"
    "red, frowns and sounds a horn. Stopping the timer, changing its length"
    "and leaving while it runs need the parent password. With turnkeeper-lock"
    "an administrator can lock the password and the length for every account.")
set(CPACK_PACKAGE_CONTACT ${TURNKEEPER_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TURNKEEPER_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Stands in for Comic Sans MS; the libraries come from the binary, except the SQLite
# driver of Qt SQL, a plugin that the record of turns loads at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-comic-neue, libqt6sql6-sqlite")
# Qt's Wayland platform, for desktops that offer no X display (XWayland) at all; Qt's
# own translations, for the standard dialogs' buttons in the family's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
include(CPack)
