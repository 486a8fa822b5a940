# The installed layout: the programs and every file they read from their own
# folder in one program folder (lib/paipan), reached on PATH through links in
# bin; desktop entry, icons, AppStream data and man pages where desktops and
# man look for them. `cmake --install` honours DESTDIR.
include(GNUInstallDirs)
set(PAIPAN_PROGRAM_FOLDER "lib/paipan")

get_property(paipan_shipped TARGET paipan_data PROPERTY PAIPAN_FILES)
install(FILES ${paipan_shipped} DESTINATION ${PAIPAN_PROGRAM_FOLDER})

set(paipan_programs paipan-cli)
if(PAIPAN_BUILD_APP)
    list(APPEND paipan_programs paipan)
endif()
install(TARGETS ${paipan_programs} RUNTIME DESTINATION ${PAIPAN_PROGRAM_FOLDER})
foreach(program IN LISTS paipan_programs)
    install(CODE "
        set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(MAKE_DIRECTORY \"\${bin}\")
        file(CREATE_LINK ../${PAIPAN_PROGRAM_FOLDER}/${program} \"\${bin}/${program}\" SYMBOLIC)
        message(STATUS \"Installing link: \${bin}/${program}\")")
endforeach()

set(PAIPAN_APP_ID "io.github.paipan.Paipan")
# Man pages and the change log go in compressed, as Debian keeps them.
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/generated)
# The man pages name the years the program charts (@PAIPAN_FIRST_YEAR@ …).
foreach(doc paipan-cli.1 paipan.1)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/${doc} ${PROJECT_BINARY_DIR}/generated/${doc} @ONLY)
endforeach()
foreach(doc generated/paipan-cli.1 generated/paipan.1 changelog)
    get_filename_component(name ${doc} NAME)
    set(source ${CMAKE_CURRENT_LIST_DIR}/${doc})
    if(doc MATCHES "^generated/")
        set(source ${PROJECT_BINARY_DIR}/${doc})
    endif()
    execute_process(COMMAND gzip -9nc ${source} OUTPUT_FILE ${PROJECT_BINARY_DIR}/generated/${name}.gz)
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_LIST_DIR}/paipan-cli.1 ${CMAKE_CURRENT_LIST_DIR}/paipan.1
             ${CMAKE_CURRENT_LIST_DIR}/changelog)
install(FILES ${PROJECT_BINARY_DIR}/generated/paipan-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(PAIPAN_BUILD_APP)
    install(FILES ${PROJECT_BINARY_DIR}/generated/paipan.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/${PAIPAN_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/${PAIPAN_APP_ID}.metainfo.xml.in
                   ${PROJECT_BINARY_DIR}/generated/${PAIPAN_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/generated/${PAIPAN_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/paipan.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 16 22 24 32 48 64 128 256)
        install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/paipan-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME paipan.png)
    endforeach()
endif()

# The licence and the package's change log where Debian keeps them.
set(PAIPAN_DOC_FOLDER ${CMAKE_INSTALL_DATADIR}/doc/paipan)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/generated/changelog.gz
        DESTINATION ${PAIPAN_DOC_FOLDER})

# `cpack -G DEB` (tools/package.sh): the Debian package, its dependencies
# worked out from the shared libraries the programs link.
set(CPACK_PACKAGE_NAME paipan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The paipan developers <dev@paipan.invalid>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The paipan developers <dev@paipan.invalid>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk, tzdata")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PAIPAN_HOME_SITE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Four Pillars of Destiny chart (四柱八字排盘)")
# CPack writes the summary as the synopsis and indents these lines; an empty
# line becomes the paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Lays out a BaZi (四柱八字) chart in Simplified Chinese from a birth date,
clock time, place and longitude: true solar time, solar terms, the lunar
date, the four pillars with ten deities, hidden stems, sound elements, life
stages and void branches, symbolic stars, luck and annual pillars, the
conception pillar, the life palace and minor luck.

The window shows the chart in an editable rich-text box that can be copied,
saved as text or RTF, reopened and restyled; paipan-cli prints the same chart
for scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
