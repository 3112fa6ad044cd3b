# The Debian package, built by `make package` from the Release build. Its
# dependencies are read from the binaries by dpkg-shlibdeps, so they follow
# whatever the build links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vantrel team")
set(CPACK_PACKAGE_CONTACT "Vantrel team <team@vantrel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "decode text files with enciphered regions")
set(CPACK_PACKAGE_DESCRIPTION
"Vantrel turns text files with enciphered regions back into readable text.
Plain parts pass through unchanged, enciphered regions are deciphered with
the user's key, and an optional key check stops a file whose check fields
prove the key wrong. Every source gives a new NAME-dec.txt file beside it
or in a chosen folder; sources are never changed and existing files are
never overwritten.

The package holds the window program, vantrel, and vantrel-decode, which
does the same job from the command line for scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window is laid out for this face; without it a fallback face draws
# wider text and the toolbar's label runs into the key field.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation2)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
