# The smoothing spline tool panel (window).
if(ORVA_BUILD_GUI)
  target_sources(orva_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/UToolSmoothSpline.h ${CMAKE_CURRENT_LIST_DIR}/UToolSmoothSpline.cpp
  )
endif()
