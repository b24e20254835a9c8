# Applied to every target of the project through a function, so third-party code is untouched.
function(dravo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
    -Wno-sign-conversion)
  if(DRAVO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
