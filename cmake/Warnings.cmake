# Warnings are errors for the project's own code: every library and test uses this.
function(ostrelo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
