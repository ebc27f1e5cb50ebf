# `cpack -G DEB` in the build directory: lumivera_<version>_<arch>.deb with the install tree
# under /usr, its Depends computed from the binary by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumivera)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumivera")
set(CPACK_PACKAGE_CONTACT "Lumivera maintainers <maintainers@users.noreply.c-seed-8933e535.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "personal day log with a month calendar and charts")
# The long description, wrapped as dpkg shows it.
set(CPACK_PACKAGE_DESCRIPTION [[Lumivera keeps a personal day log: entries per day, person and category
(an item, a number and a description) shown in a month calendar, and a
chart of a category or one of its items over the month with its sum,
average and number of days. The data stays in three plain text files.
The user interface is German.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
