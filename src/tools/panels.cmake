# The tool panels for statistics, normalize, crop, Tool 2 and Gauss/Voigt (windows).
if(ORVA_BUILD_GUI)
  target_sources(orva_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/UToolControls.h ${CMAKE_CURRENT_LIST_DIR}/UToolControls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UToolStatistics.h ${CMAKE_CURRENT_LIST_DIR}/UToolStatistics.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UToolNormalize.h ${CMAKE_CURRENT_LIST_DIR}/UToolNormalize.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UToolCrop.h ${CMAKE_CURRENT_LIST_DIR}/UToolCrop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UTool2.h ${CMAKE_CURRENT_LIST_DIR}/UTool2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UToolGaussVoigt.h ${CMAKE_CURRENT_LIST_DIR}/UToolGaussVoigt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UToolPanels.h ${CMAKE_CURRENT_LIST_DIR}/UToolPanels.cpp
  )
endif()
