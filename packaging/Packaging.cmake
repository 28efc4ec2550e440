# SPDX-License-Identifier: GPL-3.0-or-later
# Installs TurnKeeper as a desktop program (cmake --install, which the Debian package
# in debian/ runs too). One reverse-DNS id names the desktop entry, the metainfo file
# and the icon.
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
# The package installs the unit in /lib/systemd/system (debian/rules says so) and
# enables and starts it.
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
# What polkit asks before the guard changes the family's rules, and the folder of the
# administrator's lock, the one place outside its own where the guard may write.
install(FILES ${TURNKEEPER_PACKAGING_SOURCE_DIR}/io.github.turnkeeper.policy
    DESTINATION ${CMAKE_INSTALL_DATADIR}/polkit-1/actions)
install(DIRECTORY DESTINATION ${CMAKE_INSTALL_SYSCONFDIR}/xdg/TurnKeeper)

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
# installing (cmake --install --prefix, the package's /usr). The copy configured here, for
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

# The copyright file (machine-readable), where Debian looks for it. Its changelog is
# the package's own, debian/changelog, which the package build installs.
add_custom_target(turnkeeper_documents ALL DEPENDS ${turnkeeperCompressed})
install(FILES ${PROJECT_SOURCE_DIR}/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/turnkeeper)
