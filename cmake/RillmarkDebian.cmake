# The Debian package of rillmark-bake: what `make install` installs (the
# program and its manual page), under /usr. `cpack -G DEB` in the release
# build writes rillmark-bake_<version>_<arch>.deb; dpkg-shlibdeps works
# out Depends from the libraries the program really needs.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE _deb_arch
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT _deb_arch)
  set(_deb_arch amd64)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rillmark-bake)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Rillmark team <rillmark@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ripples and wakes on a water mesh, baked to point caches")
set(CPACK_PACKAGE_DESCRIPTION
    "rillmark-bake runs Rillmark's ripple and wake simulation on a water mesh with its effectors, given as a \
scene file or an OBJ sequence, and writes the water's vertices per frame as PC2, MDD or OBJ files for \
Blender, 3ds Max, Maya, Houdini and other 3D programs.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${_deb_arch})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME rillmark-bake_${PROJECT_VERSION}_${_deb_arch}.deb)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
