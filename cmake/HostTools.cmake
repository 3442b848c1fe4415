# The tools a cross build runs while building (kwf for the shipped firmware files, skin-pack
# for the skin archive), built for the build machine from cmake/host-tools. Their paths are
# VELMORA_HOST_KWF and VELMORA_HOST_SKIN_PACK; the target velmora_host_tools makes them.
include(ExternalProject)
set(host_tools_dir ${CMAKE_BINARY_DIR}/host-tools)
set(VELMORA_HOST_KWF ${host_tools_dir}/kwf)
set(VELMORA_HOST_SKIN_PACK ${host_tools_dir}/skin-pack)
# The host tools go through ccache only where it is installed, as the main build does; an
# unset launcher would otherwise be passed as the text "VELMORA_CCACHE-NOTFOUND".
set(host_tools_launcher "")
if(VELMORA_CCACHE)
  set(host_tools_launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${VELMORA_CCACHE})
endif()
ExternalProject_Add(velmora_host_tools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/cmake/host-tools
  BINARY_DIR ${host_tools_dir}
  CMAKE_ARGS -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=c++
             ${host_tools_launcher}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${VELMORA_HOST_KWF} ${VELMORA_HOST_SKIN_PACK})
