# The browser's unit tests read the test pages in tests/pages.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/tests/unit/apps/browser_test.cpp
             APPEND PROPERTY COMPILE_DEFINITIONS TAVLIN_TEST_PAGES="${CMAKE_SOURCE_DIR}/tests/pages")
