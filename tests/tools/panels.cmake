# The statistics, normalize, crop, Tool 2 and Gauss/Voigt panels on real plot windows (offscreen).
if(ORVA_BUILD_GUI)
  orva_add_test(tools_panel_tests GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_panels.cpp)
endif()
