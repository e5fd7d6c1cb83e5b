# The FWHM/extremum panel and the Gauss/Voigt panel's profile fit on real plot windows (offscreen).
if(ORVA_BUILD_GUI)
  orva_add_test(tools_maxpanel_tests GUI SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_maxpanel.cpp)
endif()
