# The window manager's host tool: wm_frame composes the start-up desktop
# frame into a PPM for the system tests to compare with a screendump.
if(NOT TAVLIN_FUZZ)
  add_executable(wm_frame tools/wm_frame/wm_frame.cpp)
  target_link_libraries(wm_frame PRIVATE tavlin_host)
endif()

# The boot logo for the host build: drawn by tools/boot_logo with the media
# encoders and embedded into tavlin_host through kernel/init/boot_logo_image.S.
add_executable(make_boot_logo tools/boot_logo/make_boot_logo.cpp)
target_link_libraries(make_boot_logo PRIVATE tavlin_media_encoders)
set(TAVLIN_BOOT_LOGO ${CMAKE_BINARY_DIR}/wm/boot_logo.yrf)
add_custom_command(OUTPUT ${TAVLIN_BOOT_LOGO}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/wm
  COMMAND make_boot_logo ${TAVLIN_BOOT_LOGO}
  DEPENDS make_boot_logo
  COMMENT "Drawing the boot logo")
target_sources(tavlin_host PRIVATE kernel/init/boot_logo_image.S)
set_source_files_properties(kernel/init/boot_logo_image.S PROPERTIES
  COMPILE_DEFINITIONS "TAVLIN_BOOT_LOGO=\"${TAVLIN_BOOT_LOGO}\""
  OBJECT_DEPENDS "${TAVLIN_BOOT_LOGO}")
