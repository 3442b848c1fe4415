# What `cmake --install` puts under the prefix: the programs, the firmware library with its
# public header, and the control panel's desktop entry and icon (control_panel/app).
include(GNUInstallDirs)
foreach(program velmoractl velmora-simbus VelmoraProUpdater)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET dun_fwdl)
  install(TARGETS dun_fwdl LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/fwdl/include/dun_fwdl.h
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endif()
