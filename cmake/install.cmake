# Installation: the three programs into bin/, the desktop entry and the icon
# where desktop environments look for them.
include(GNUInstallDirs)

install(TARGETS fareprobe RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(program fareprobe-server fareprobe-send)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/data/fareprobe.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/fareprobe.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Installs into a fresh folder inside the build tree and checks every file.
add_test(NAME install
    COMMAND ${CMAKE_COMMAND}
        -DBUILD_DIR=${CMAKE_BINARY_DIR}
        -DPREFIX=${CMAKE_BINARY_DIR}/install-check
        -DBINDIR=${CMAKE_INSTALL_BINDIR}
        -DDATADIR=${CMAKE_INSTALL_DATADIR}
        -P ${CMAKE_SOURCE_DIR}/cmake/checkinstall.cmake)
