# One static library per folder of src/, named pelisto_<folder>, linking
# only the folders below it (the order of tests/layers/check_layers.sh):
#
#   pelisto_layer(view BELOW pelisto_model)
#
# A static library links whatever happens to be pulled in, so each folder
# also gets a link probe, pelisto_<folder>_links: a program of the whole
# folder (every object, used or not) and the folders below it alone. A call
# from the folder to one above or beside it leaves a symbol undefined, and
# the probe, built with everything else, fails the build.
function(pelisto_layer folder)
  cmake_parse_arguments(PARSE_ARGV 1 LAYER "" "" "BELOW")
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  add_library(pelisto_${folder} STATIC ${sources})
  target_link_libraries(pelisto_${folder} PUBLIC ${LAYER_BELOW})
  target_compile_options(pelisto_${folder} PRIVATE ${PELISTO_WARNINGS})

  add_executable(pelisto_${folder}_links ${PROJECT_SOURCE_DIR}/cmake/link_probe.cpp)
  target_link_libraries(pelisto_${folder}_links PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,pelisto_${folder}>")
endfunction()
