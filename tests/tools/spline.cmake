# The smoothing spline, the smoothing spline tool's model and "op continuum".
orva_add_test(tools_spline_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/test_smooth_spline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_smooth_spline_fast.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_spline_tool.cpp)
add_dependencies(tools_spline_tests orvalumetrix-cli)
