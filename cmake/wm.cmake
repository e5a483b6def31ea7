# The window manager's host tool: wm_frame composes the start-up desktop
# frame into a PPM for the system tests to compare with a screendump.
if(NOT TAVLIN_FUZZ)
  add_executable(wm_frame tools/wm_frame/wm_frame.cpp)
  target_link_libraries(wm_frame PRIVATE tavlin_host)
endif()
