# cmake -DBUILD_DIR=... -DPREFIX=... [-DVALIDATE=desktop-file-validate] -P check_install.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${out}")
endif()

set(expected
  bin/tenso
  bin/tenso-eval
  bin/tenso-report
  share/man/man1/tenso-report.1
  share/doc/tenso/examples/specimens.csv
  share/applications/tenso.desktop
  share/icons/hicolor/scalable/apps/tenso.svg
  share/icons/hicolor/48x48/apps/tenso.png
  share/icons/hicolor/256x256/apps/tenso.png
  share/doc/tenso/user-guide.md
  share/doc/tenso/examples/steel_s235jr.dat)
foreach(f IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
foreach(program tenso tenso-eval tenso-report)
  file(GET_RUNTIME_DEPENDENCIES EXECUTABLES ${PREFIX}/bin/${program} RESOLVED_DEPENDENCIES_VAR ignored
       UNRESOLVED_DEPENDENCIES_VAR unresolved)
  if(unresolved)
    message(FATAL_ERROR "${program} needs libraries that are not found: ${unresolved}")
  endif()
endforeach()

# The installed tenso-eval finds its picture module and draws.
execute_process(COMMAND ${PREFIX}/bin/tenso-eval --plot ${PREFIX}/plot.png ${PREFIX}/share/doc/tenso/examples/steel_s235jr.dat
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE out)
if(NOT status EQUAL 0 OR NOT EXISTS ${PREFIX}/plot.png)
  message(FATAL_ERROR "the installed tenso-eval drew no picture (${status}): ${out}")
endif()

# Every image the user guide shows is installed beside it.
file(READ ${PREFIX}/share/doc/tenso/user-guide.md guide)
string(REGEX MATCHALL "\\(images/[^)]+\\)" links "${guide}")
if(NOT links)
  message(FATAL_ERROR "the user guide shows no image")
endif()
foreach(link IN LISTS links)
  string(REGEX REPLACE "^\\((.*)\\)$" "\\1" image "${link}")
  if(NOT EXISTS ${PREFIX}/share/doc/tenso/${image})
    message(FATAL_ERROR "the user guide shows ${image}, which is not installed")
  endif()
endforeach()

# The menu entry starts the installed program by the icon name that is installed.
file(STRINGS ${PREFIX}/share/applications/tenso.desktop entry)
foreach(line "Exec=tenso" "Icon=tenso" "Name=Tenso" "Categories=Science;Engineering;")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "tenso.desktop lacks \"${line}\"")
  endif()
endforeach()
if(VALIDATE)
  execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/tenso.desktop
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0 OR out)
    message(FATAL_ERROR "desktop-file-validate: ${out}")
  endif()
else()
  message(STATUS "desktop-file-validate not found; tenso.desktop checked by its keys only")
endif()

# The installed tenso-report evaluates the installed machine exports with their specimens table.
file(GLOB machine_exports ${PREFIX}/share/doc/tenso/examples/machine_*)
execute_process(COMMAND ${PREFIX}/bin/tenso-report --specimens ${PREFIX}/share/doc/tenso/examples/specimens.csv
                        ${machine_exports}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
list(LENGTH machine_exports count)
if(NOT status EQUAL 0 OR NOT count EQUAL 3)
  message(FATAL_ERROR "the installed tenso-report failed on ${count} examples (${status}): ${out}")
endif()
