# The Debian packages, built by `make package` from the Release build: one
# for each install component. `vantrel` is the window; `vantrel-decode` is
# the command alone, so that a machine which only decodes needs no Qt. Their
# dependencies are read from the binaries by dpkg-shlibdeps, so they follow
# whatever each one links.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL vantrel vantrel-decode)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vantrel team")
set(CPACK_PACKAGE_CONTACT ${VANTREL_MAINTAINER})
set(CPACK_PACKAGE_HOMEPAGE_URL ${VANTREL_HOMEPAGE})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Both come from one source tree, whose changelog both carry.
set(CPACK_DEBIAN_PACKAGE_SOURCE vantrel)

# Each description's first line is its summary.
set(CPACK_DEBIAN_VANTREL_PACKAGE_NAME vantrel)
set(CPACK_DEBIAN_VANTREL_DESCRIPTION
"decode text files with enciphered regions
Vantrel turns text files with enciphered regions back into readable text.
Plain parts pass through unchanged, enciphered regions are deciphered with
the user's key, and an optional key check stops a file whose check fields
prove the key wrong. Every source gives a new NAME-dec.txt file beside it
or in a chosen folder; sources are never changed and existing files are
never overwritten.

This package holds the window program, vantrel. The same job from the
command line, for scripts, is in the vantrel-decode package.")
# The window is laid out for this face; without it a fallback face draws
# wider text and the toolbar's label runs into the key field.
set(CPACK_DEBIAN_VANTREL_PACKAGE_RECOMMENDS "fonts-liberation2, vantrel-decode (= ${PROJECT_VERSION})")

set(CPACK_DEBIAN_VANTREL-DECODE_PACKAGE_NAME vantrel-decode)
set(CPACK_DEBIAN_VANTREL-DECODE_DESCRIPTION
"decode text files with enciphered regions from the command line
vantrel-decode turns text files with enciphered regions back into readable
text, as the window program vantrel does, for scripts and for machines
without a desktop: the same key test, output folders and names, key check
and messages. It takes lists of files, whole folders and several files at
once, and prints one tab-separated result line for each file.

This package needs no graphical toolkit.")

# The source release is `make dist`, the committed tree as git archives it.
# CPack's own source package (package_source) packs the folder as it lies:
# build folders, version control and editor files are kept out of it.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME vantrel-${PROJECT_VERSION})
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git" "/build/" "\\\\.swp$" "\\\\.deb$" "\\\\.tar\\\\.gz$" "${PROJECT_BINARY_DIR}/")

include(CPack)
