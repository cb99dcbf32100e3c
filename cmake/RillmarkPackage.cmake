# What a user installs, made from the Win32 build: the guide is put beside
# Rillmark.tsx in the build's program folder (so the plug-in's online
# reference opens there too), and one zip holds Rillmark.tsx, the guide
# (Index.htm, its page on Blender, their stylesheet and pictures) and the
# read-me, ready to unpack into trueSpace's
# plug-in folder. `make package` builds the zip. Beside them go the bake
# program, rillmark-bake.exe, and the example scene it is documented with.

set(RILLMARK_GUIDE_DIR ${PROJECT_SOURCE_DIR}/docs/guide)
file(GLOB RILLMARK_GUIDE_IMAGES CONFIGURE_DEPENDS ${RILLMARK_GUIDE_DIR}/images/*.png)
set(RILLMARK_EXAMPLE_FILES ${PROJECT_SOURCE_DIR}/examples/pond.json ${PROJECT_SOURCE_DIR}/examples/boat.obj)
set(RILLMARK_PACKAGE ${CMAKE_BINARY_DIR}/Rillmark-${PROJECT_VERSION}.zip
    CACHE INTERNAL "The zip users install from")

set(_bin ${CMAKE_BINARY_DIR}/bin)
add_custom_command(
  OUTPUT ${_bin}/Index.htm
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_bin}/images
  COMMAND ${CMAKE_COMMAND} -E copy ${RILLMARK_GUIDE_DIR}/Index.htm ${RILLMARK_GUIDE_DIR}/Blender.htm
          ${RILLMARK_GUIDE_DIR}/guide.css ${_bin}/
  COMMAND ${CMAKE_COMMAND} -E copy ${RILLMARK_GUIDE_IMAGES} ${_bin}/images/
  DEPENDS ${RILLMARK_GUIDE_DIR}/Index.htm ${RILLMARK_GUIDE_DIR}/Blender.htm ${RILLMARK_GUIDE_DIR}/guide.css
          ${RILLMARK_GUIDE_IMAGES}
  COMMENT "Putting the online reference beside Rillmark.tsx")
add_custom_target(rillmark_guide ALL DEPENDS ${_bin}/Index.htm)

set(_stage ${CMAKE_BINARY_DIR}/package)
add_custom_command(
  OUTPUT ${RILLMARK_PACKAGE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${_stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}/images
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Rillmark> ${RILLMARK_GUIDE_DIR}/Index.htm
          ${RILLMARK_GUIDE_DIR}/Blender.htm ${RILLMARK_GUIDE_DIR}/guide.css ${RILLMARK_GUIDE_DIR}/ReadMe.txt ${_stage}/
  COMMAND ${CMAKE_COMMAND} -E copy ${RILLMARK_GUIDE_IMAGES} ${_stage}/images/
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:rillmark_bake> ${_stage}/
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}/examples
  COMMAND ${CMAKE_COMMAND} -E copy ${RILLMARK_EXAMPLE_FILES} ${_stage}/examples/
  COMMAND ${CMAKE_COMMAND} -E rm -f ${RILLMARK_PACKAGE}
  COMMAND ${CMAKE_COMMAND} -E chdir ${_stage} ${CMAKE_COMMAND} -E tar cf ${RILLMARK_PACKAGE} --format=zip
          Rillmark.tsx Index.htm Blender.htm guide.css ReadMe.txt images rillmark-bake.exe examples
  DEPENDS Rillmark rillmark_bake ${RILLMARK_EXAMPLE_FILES} ${RILLMARK_GUIDE_DIR}/Index.htm ${RILLMARK_GUIDE_DIR}/Blender.htm
          ${RILLMARK_GUIDE_DIR}/guide.css ${RILLMARK_GUIDE_DIR}/ReadMe.txt ${RILLMARK_GUIDE_IMAGES}
  COMMENT "Packing ${RILLMARK_PACKAGE}")
add_custom_target(rillmark_package ALL DEPENDS ${RILLMARK_PACKAGE})
