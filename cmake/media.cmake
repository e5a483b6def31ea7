# The sample media for the host build: the encoders as a library (the unit
# tests use them too), the tool that draws the files, and the embedding of
# its output into tavlin_host through kernel/fs/sample_media.S.
enable_language(ASM)
find_package(PNG REQUIRED)

add_library(tavlin_media_encoders STATIC
  tools/media/canvas.cpp tools/media/rle565.cpp tools/media/scenes.cpp
  tools/media/yrf.cpp tools/media/zeva.cpp)
target_include_directories(tavlin_media_encoders PUBLIC ${CMAKE_SOURCE_DIR})

add_executable(make_media tools/media/make_media.cpp tools/media/png_out.cpp)
target_link_libraries(make_media PRIVATE tavlin_media_encoders PNG::PNG)

set(TAVLIN_MEDIA_DIR ${CMAKE_BINARY_DIR}/media)
set(TAVLIN_MEDIA_FILES ${TAVLIN_MEDIA_DIR}/sample.yrf ${TAVLIN_MEDIA_DIR}/sample.png
    ${TAVLIN_MEDIA_DIR}/sample.zeva)
add_custom_command(OUTPUT ${TAVLIN_MEDIA_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVLIN_MEDIA_DIR}
  COMMAND make_media ${TAVLIN_MEDIA_DIR}
  DEPENDS make_media
  COMMENT "Drawing the sample media")

target_sources(tavlin_host PRIVATE kernel/fs/sample_media.S)
set_source_files_properties(kernel/fs/sample_media.S PROPERTIES
  COMPILE_DEFINITIONS "TAVLIN_MEDIA_YRF=\"${TAVLIN_MEDIA_DIR}/sample.yrf\";TAVLIN_MEDIA_PNG=\"${TAVLIN_MEDIA_DIR}/sample.png\";TAVLIN_MEDIA_ZEVA=\"${TAVLIN_MEDIA_DIR}/sample.zeva\""
  OBJECT_DEPENDS "${TAVLIN_MEDIA_FILES}")

# The unit tests check the encoders against the formats and the embedded
# PNG against libpng; their target is made after this file is read.
function(tavlin_link_media_encoders)
  if(TARGET unit_tests)
    target_link_libraries(unit_tests PRIVATE tavlin_media_encoders PNG::PNG)
  endif()
endfunction()
cmake_language(DEFER CALL tavlin_link_media_encoders)
