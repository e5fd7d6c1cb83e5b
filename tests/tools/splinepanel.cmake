# The smoothing spline panel on real plot windows (offscreen).
if(ORVA_BUILD_GUI)
  orva_add_test(tools_splinepanel_tests GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_spline_panel.cpp)
endif()
