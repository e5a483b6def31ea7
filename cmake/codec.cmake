# The codec tests and benchmarks compare against the real zlib and libpng.
# The targets are made after this file is read, so the link is deferred to
# the end of the directory.
find_package(ZLIB)
find_package(PNG)

function(tavlin_codec_link_peers)
  if(NOT ZLIB_FOUND OR NOT PNG_FOUND)
    message(WARNING "zlib or libpng missing: codec comparisons will not link")
    return()
  endif()
  foreach(target unit_tests tavlin_bench)
    if(TARGET ${target})
      target_link_libraries(${target} PRIVATE ZLIB::ZLIB PNG::PNG)
    endif()
  endforeach()
endfunction()

cmake_language(DEFER CALL tavlin_codec_link_peers)
