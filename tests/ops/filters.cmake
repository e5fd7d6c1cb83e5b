orva_add_test(ops_filters_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/test_filters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_ntools.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_filters_cli.cpp)
add_dependencies(ops_filters_tests orvalumetrix-cli)
if(ORVA_BUILD_GUI)
  orva_add_test(ops_filters_dialog_tests GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_filters_dialogs.cpp)
endif()
