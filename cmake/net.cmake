# Networking: a unit-test binary of just the network tests, built on demand
# (`cmake --build <dir> --target net_unit_tests`), so the stack can be
# tested while other subsystems' tests are being changed.
if(NOT TAVLIN_FUZZ AND NOT TAVLIN_BENCH)
  find_package(GTest QUIET)
  if(GTest_FOUND)
    file(GLOB NET_UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/net/*.cpp)
    add_executable(net_unit_tests EXCLUDE_FROM_ALL ${NET_UNIT_SOURCES})
    target_link_libraries(net_unit_tests PRIVATE tavlin_host GTest::gtest_main)
    target_include_directories(net_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  endif()
endif()
