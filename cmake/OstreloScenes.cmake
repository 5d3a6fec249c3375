# Scene files (*.storyboard, *.nib) are found at run time in a storyboards/ folder beside the
# executable, or, once installed, in share/ostrelo/storyboards beside its bin/ folder.

# ostrelo_scenes(TARGET DIR): copies the scene files of DIR into the storyboards/ folder beside
# TARGET's executable in the build tree whenever they change (call it once per folder).
function(ostrelo_scenes target dir)
  file(GLOB scenes CONFIGURE_DEPENDS "${dir}/*.storyboard" "${dir}/*.nib")
  get_target_property(destination ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT destination)
    get_target_property(destination ${target} BINARY_DIR)
  endif()
  set(destination "${destination}/storyboards")
  set(copies)
  foreach(scene IN LISTS scenes)
    get_filename_component(file_name "${scene}" NAME)
    add_custom_command(OUTPUT "${destination}/${file_name}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${destination}"
      COMMAND ${CMAKE_COMMAND} -E copy "${scene}" "${destination}/${file_name}"
      DEPENDS "${scene}"
      VERBATIM)
    list(APPEND copies "${destination}/${file_name}")
  endforeach()
  string(MAKE_C_IDENTIFIER "${target}_scenes_${dir}" copy_target)
  add_custom_target(${copy_target} ALL DEPENDS ${copies})
  add_dependencies(${target} ${copy_target})
endfunction()

# ostrelo_install_scenes(DIR): `cmake --install` puts the scene files of DIR into
# share/ostrelo/storyboards.
function(ostrelo_install_scenes dir)
  file(GLOB scenes CONFIGURE_DEPENDS "${dir}/*.storyboard" "${dir}/*.nib")
  install(FILES ${scenes} DESTINATION share/ostrelo/storyboards)
endfunction()
