# Resources are found at run time in a folder of their kind beside the executable (storyboards/
# for scene files, icons/ for icons), or, once installed, in share/ostrelo/<kind> beside its bin/
# folder.

# ostrelo_resources(TARGET KIND FILES...): copies FILES into the KIND folder beside TARGET's
# executable in the build tree whenever they change.
function(ostrelo_resources target kind)
  get_target_property(destination ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT destination)
    get_target_property(destination ${target} BINARY_DIR)
  endif()
  set(destination "${destination}/${kind}")
  set(copies)
  foreach(file IN LISTS ARGN)
    get_filename_component(file_name "${file}" NAME)
    add_custom_command(OUTPUT "${destination}/${file_name}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${destination}"
      COMMAND ${CMAKE_COMMAND} -E copy "${file}" "${destination}/${file_name}"
      DEPENDS "${file}"
      VERBATIM)
    list(APPEND copies "${destination}/${file_name}")
  endforeach()
  string(MAKE_C_IDENTIFIER "${target}_${kind}_${ARGV2}" copy_target)
  add_custom_target(${copy_target} ALL DEPENDS ${copies})
  add_dependencies(${target} ${copy_target})
endfunction()

# ostrelo_scenes(TARGET DIR): copies the scene files of DIR into the storyboards/ folder beside
# TARGET's executable in the build tree whenever they change (call it once per folder).
function(ostrelo_scenes target dir)
  file(GLOB scenes CONFIGURE_DEPENDS "${dir}/*.storyboard" "${dir}/*.nib")
  ostrelo_resources(${target} storyboards ${scenes})
endfunction()

# ostrelo_install_scenes(DIR): `cmake --install` puts the scene files of DIR into
# share/ostrelo/storyboards.
function(ostrelo_install_scenes dir)
  file(GLOB scenes CONFIGURE_DEPENDS "${dir}/*.storyboard" "${dir}/*.nib")
  install(FILES ${scenes} DESTINATION share/ostrelo/storyboards)
endfunction()
