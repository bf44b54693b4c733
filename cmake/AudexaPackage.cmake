# The Debian package: `cmake --build <build> --target package` makes audexa_<version>_<arch>.deb
# from the install rules, installed under /usr. dpkg-shlibdeps works out the libraries it depends
# on from the binaries; what they load at run time without linking is named here.

# What Debian asks of a package besides the program: the copyright file, the changelog and a
# manual page for each command, the last two compressed without a time stamp, so that the same
# sources make the same package. Compressed at configure time, again when a source changes.
find_program(AUDEXA_GZIP gzip REQUIRED)
function(audexa_gzip source output)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    execute_process(COMMAND ${AUDEXA_GZIP} -9 -n -c ${source} OUTPUT_FILE ${output}
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Could not compress ${source}: ${result}")
    endif()
endfunction()

set(AUDEXA_LINUX_DIR ${PROJECT_SOURCE_DIR}/packaging/linux)
set(AUDEXA_DOCS_DIR ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${AUDEXA_DOCS_DIR})
audexa_gzip(${AUDEXA_LINUX_DIR}/changelog ${AUDEXA_DOCS_DIR}/changelog.gz)
install(FILES ${AUDEXA_LINUX_DIR}/copyright ${AUDEXA_DOCS_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/audexa)
foreach(page audexa.1 audexa-cli.1)
    audexa_gzip(${AUDEXA_LINUX_DIR}/${page} ${AUDEXA_DOCS_DIR}/${page}.gz)
    install(FILES ${AUDEXA_DOCS_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME audexa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Audexa developers <audexa@example.org>")
set(CPACK_PACKAGE_VENDOR "Audexa developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "live reading, graphs and data logger of the Q7316 sound level meter")
# Lines of at most 79 characters, as Debian's package tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Audexa is the desktop program for the Q7316, a hand-held sound level meter
with a built-in data logger that connects over USB. It shows the meter's live
reading on a virtual front panel, records the live level into real-time
graphs, downloads the data sets the meter recorded, measures a timed Leq, and
saves, exports and prints graphs and tables. audexa-cli lists and exports
saved data sets and draws graphs as pictures, without a display.

A udev rule lets the user logged in at the computer open the meter without
root.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/AudexaCPackChecks.cmake)
# Qt loads its window system plugins at run time, so no binary names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
