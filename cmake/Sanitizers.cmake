if(DRAVO_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # GCC 12's dynamic-type check misreads `this` captured by a lambda inside another lambda (it
  # reports a null or foreign object where the program is right, and warns maybe-uninitialized
  # there); clang's is sound. Off for GCC only.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-fno-sanitize=vptr)
  endif()
elseif(DRAVO_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT DRAVO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "DRAVO_SANITIZE must be empty, address or thread")
endif()
