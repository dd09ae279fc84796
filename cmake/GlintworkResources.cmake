# glintwork_add_resources(target file.rc): gives a program its Win32 resources.
#
# On Windows the .rc file joins the target's sources (the resource compiler links
# it in). Elsewhere windres (binutils-mingw-w64) compiles it to a .res file, with
# the host's C preprocessor, RC_INVOKED defined and the layer's headers on the
# include path; the .res bytes are embedded in the program by a generated source
# that hands them to the layer (glintworkRegisterResources) before main() runs,
# where FindResourceW and CreateDialogParamW find them by type and id.
function(glintwork_add_resources target rc_file)
  set(GLINTWORK_RESOURCES_DIR ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  set(GLINTWORK_PLATFORM_INCLUDE_DIR ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../platform/include)
  get_filename_component(rc_path ${rc_file} ABSOLUTE)
  if(WIN32)
    target_sources(${target} PRIVATE ${rc_path})
    return()
  endif()
  find_program(GLINTWORK_WINDRES NAMES x86_64-w64-mingw32-windres i686-w64-mingw32-windres windres)
  if(NOT GLINTWORK_WINDRES)
    message(FATAL_ERROR "glintwork_add_resources: windres not found (install binutils-mingw-w64)")
  endif()
  if(CMAKE_C_COMPILER)
    set(preprocessor ${CMAKE_C_COMPILER})
  else()
    set(preprocessor ${CMAKE_CXX_COMPILER})
  endif()

  get_filename_component(rc_dir ${rc_path} DIRECTORY)
  get_filename_component(rc_name ${rc_path} NAME_WE)
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  set(res_file ${out_dir}/${rc_name}.res)
  set(c_file ${out_dir}/${rc_name}_res.c)
  # Whatever the .rc may pull in from its own folder.
  file(GLOB rc_inputs ${rc_dir}/*.h ${rc_dir}/*.manifest ${rc_dir}/*.ico ${rc_dir}/*.bmp)

  add_custom_command(OUTPUT ${res_file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND ${GLINTWORK_WINDRES}
      --preprocessor=${preprocessor}
      --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED
      --include-dir=${rc_dir} --include-dir=${GLINTWORK_PLATFORM_INCLUDE_DIR}
      --input-format=rc --output-format=res
      -i ${rc_path} -o ${res_file}
    WORKING_DIRECTORY ${rc_dir}
    DEPENDS ${rc_path} ${rc_inputs}
      ${GLINTWORK_PLATFORM_INCLUDE_DIR}/windows.h ${GLINTWORK_PLATFORM_INCLUDE_DIR}/commctrl.h
    COMMENT "Compiling resources ${rc_file}"
    VERBATIM)
  add_custom_command(OUTPUT ${c_file}
    COMMAND ${CMAKE_COMMAND} -DRES_FILE=${res_file} -DC_FILE=${c_file} -DSYMBOL=${rc_name}
      -P ${GLINTWORK_RESOURCES_DIR}/GlintworkEmbedResources.cmake
    DEPENDS ${res_file} ${GLINTWORK_RESOURCES_DIR}/GlintworkEmbedResources.cmake
    COMMENT "Embedding resources ${rc_name}.res"
    VERBATIM)
  target_sources(${target} PRIVATE ${c_file})
endfunction()
