# The Debian package, made by CPack from the install rules (scripts/package).
# Dependencies come from the libraries the programs link (dpkg-shlibdeps); the
# desktop entry, file type and icons are registered by the file triggers of
# desktop-file-utils, shared-mime-info and the icon theme, so the package
# needs no maintainer scripts.
set(QXR_PACKAGE_CONTACT "QXR maintainers <qxr@valdris.example>")

# Debian keeps a package's documents under its own name, not the project's.
set(QXR_PACKAGE_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/qxr)
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${changelog}
  COMMAND sh -c "gzip -9 --no-name --stdout \"$1\" > \"$2\"" sh ${CMAKE_CURRENT_LIST_DIR}/changelog ${changelog}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog
  VERBATIM)
add_custom_target(qxr_package_changelog ALL DEPENDS ${changelog})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${changelog} DESTINATION ${QXR_PACKAGE_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qxr)
set(CPACK_PACKAGE_VENDOR Valdris)
set(CPACK_PACKAGE_CONTACT ${QXR_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "design calculator for the control loops of boost PFC stages")
# Debian shows the description as it is: lines shorter than 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "QXR computes the power stage, both compensators, the pole and zero
positions, the Bode plots with their stability figures and, for a digital
controller, the 2p2z coefficients of a boost power-factor-correction stage.
The package holds the desktop program qxr and the command-line tool qxr-cli.")
set(CPACK_QXR_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripPrograms.cmake)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Spice line and qxr-cli spice run the design's netlists in ngspice.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ngspice)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
