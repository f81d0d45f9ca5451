# The Debian package (scripts/package): one package with everything `cmake --install` puts in
# place, the program's plugins included. Debian's own triggers refresh the MIME, desktop, icon
# and gdk-pixbuf loader caches after installation, so the package needs no scripts of its own.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qx-wendo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "QX WendoCompressor developers")
set(CPACK_PACKAGE_CONTACT "QX WendoCompressor developers <team@qxwendo.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "still-picture compressor with a wavelet codec")
set(CPACK_PACKAGE_DESCRIPTION
    "QX WendoCompressor compresses BMP, JPEG and TIFF pictures into its own .qx1 format with a
lossy wavelet codec. The desktop program qx-compressor shows the source and the restored
picture side by side and compresses many pictures at once; the command-line tool qx1
compresses, restores and inspects .qx1 files in scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The JPEG, PNG and scaling libraries are opened when first needed rather than linked
# (base/shared_library.h), so the library scan cannot see them: they are named here, CPack adds
# what the scan finds.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libjpeg62-turbo (>= 1:2.1), libspng0 (>= 0.7), libstb0")
# The caches these fill in are what make the file type and the menu entry appear.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
