# tavrin_install_configured(TEMPLATE DESTINATION COMPONENT): installs TEMPLATE (its name without
# ".in") into DESTINATION under the prefix, its @VARIABLES@ filled in at install time, so that
# `cmake --install --prefix DIR` and the packages (prefix /usr) get their own prefix rather than
# the one configured. Known there: TAVRIN_PREFIX, TAVRIN_BINDIR (absolute), CMAKE_INSTALL_LIBDIR,
# CMAKE_INSTALL_INCLUDEDIR (relative) and PROJECT_VERSION. Each install writes its own copy in
# the build tree (two installs at once never share a file), and file(INSTALL) records the
# installed path in install_manifest.txt as every other file, without DESTDIR.
function(tavrin_install_configured template destination component)
    get_filename_component(name "${template}" NAME)
    string(REGEX REPLACE "\\.in$" "" name "${name}")
    install(CODE "
        set(TAVRIN_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
        set(TAVRIN_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        set(CMAKE_INSTALL_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
        set(CMAKE_INSTALL_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
        set(PROJECT_VERSION \"${PROJECT_VERSION}\")
        string(MD5 where \"\$ENV{DESTDIR}|\${CMAKE_INSTALL_PREFIX}|${name}\")
        set(staged \"${CMAKE_BINARY_DIR}/configured-\${where}\")
        configure_file(\"${template}\" \"\${staged}/${name}\" @ONLY)
        file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${destination}\" TYPE FILE
             FILES \"\${staged}/${name}\")
        file(REMOVE_RECURSE \"\${staged}\")" COMPONENT ${component})
endfunction()
