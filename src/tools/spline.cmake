# The smoothing spline and what the continuum (smoothing spline) tool computes.
target_sources(orva_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/USmoothSpline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UToolSmoothSplineCore.cpp
)
