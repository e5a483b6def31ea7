# The bytecode machine's host pieces: the hitasm assembler as a library (the
# unit tests write their programs with it) and as a command-line tool.
add_library(tavlin_hitasm STATIC tools/hitasm/assembler.cpp)
target_link_libraries(tavlin_hitasm PUBLIC tavlin_host)

if(NOT TAVLIN_FUZZ)
  add_executable(hitasm tools/hitasm/main.cpp)
  target_link_libraries(hitasm PRIVATE tavlin_hitasm)
endif()

# The unit tests and the bench assemble their programs; the unit tests find
# the sample programs' sources and files through TAVLIN_SOURCE_DIR.
function(tavlin_link_hitasm)
  if(TARGET tavlin_bench)
    target_link_libraries(tavlin_bench PRIVATE tavlin_hitasm)
  endif()
  if(TARGET unit_tests)
    target_link_libraries(unit_tests PRIVATE tavlin_hitasm)
    target_compile_definitions(unit_tests PRIVATE TAVLIN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  endif()
endfunction()
cmake_language(DEFER CALL tavlin_link_hitasm)
