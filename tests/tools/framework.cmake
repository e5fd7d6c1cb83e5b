# The tool framework through real plot windows of a main window (offscreen).
if(ORVA_BUILD_GUI)
  orva_add_test(tools_framework_tests GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_framework.cpp)
endif()
