# The extremum/FWHM tool and the profile fit of the Gauss/Voigt panel.
target_sources(orva_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/UToolMaximumCore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UToolProfileFitCore.cpp
)
