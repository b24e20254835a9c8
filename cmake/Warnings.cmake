# Applied to every target of the project through a function, so third-party code is untouched.
function(dravo_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(DRAVO_WERROR)
      target_compile_options(${target} PRIVATE /WX)
    endif()
    return()
  endif()
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
    -Wno-sign-conversion)
  # GCC 12 at -O3 reports std::string's own concatenation as an overlapping copy (its bug
  # 105329); the Release build of the Windows DLL meets it.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(DRAVO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
