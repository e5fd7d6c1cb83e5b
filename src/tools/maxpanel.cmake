# The FWHM/extremum panel (window).
if(ORVA_BUILD_GUI)
  target_sources(orva_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/UToolMaximum.h ${CMAKE_CURRENT_LIST_DIR}/UToolMaximum.cpp
  )
endif()
