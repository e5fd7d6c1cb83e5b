# New Profile: the core's spectra and the CLI's "op new" (both read the generated ephemeris).
orva_add_test(ops_profiles_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/test_newprofile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_newprofile_cli.cpp)
add_dependencies(ops_profiles_tests orvalumetrix-cli ephemeris)
if(ORVA_BUILD_GUI)
  orva_add_test(ops_profiles_dialog_tests GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_newprofile_dialog.cpp)
  add_dependencies(ops_profiles_dialog_tests ephemeris)
endif()
