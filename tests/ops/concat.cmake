orva_add_test(ops_concat_tests SOURCES test_concat.cpp test_multiple.cpp test_concat_cli.cpp
  test_op_out_cli.cpp)
add_dependencies(ops_concat_tests orvalumetrix-cli)
if(ORVA_BUILD_GUI)
  orva_add_test(ops_concat_dialog_tests GUI SOURCES test_concat_dialogs.cpp)
endif()
