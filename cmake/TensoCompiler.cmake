# Warning and sanitizer settings shared by every target of the project.

if(TENSO_FUZZ)
  # Coverage for libFuzzer everywhere; the fuzz targets add the fuzzer's main themselves. Every
  # sanitizer report ends the run, so that undefined behaviour fails the fuzzing as a crash does.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
elseif(TENSO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# tenso_warnings(<target>): the strict warning set; errors when TENSO_WARNINGS_AS_ERRORS is on.
function(tenso_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion
                                           -Wshadow -Wnon-virtual-dtor -Wold-style-cast)
  if(TENSO_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
