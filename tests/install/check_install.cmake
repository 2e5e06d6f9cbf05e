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
  bin/tenso-lab
  share/man/man1/tenso-report.1.gz
  share/doc/tenso/examples/specimens.csv
  share/applications/tenso.desktop
  share/applications/tenso-lab.desktop
  share/doc/tenso/user-guide.md
  share/doc/tenso/user-guide.html
  share/doc/tenso/README
  share/doc/tenso/copyright
  share/doc/tenso/changelog.gz
  share/man/man1/tenso.1.gz
  share/man/man1/tenso-eval.1.gz
  share/man/man1/tenso-lab.1.gz
  share/doc/tenso/examples/steel_s235jr.dat)
# Each menu entry's icon, scalable and in every size rendered from it.
foreach(icon tenso tenso-lab)
  list(APPEND expected share/icons/hicolor/scalable/apps/${icon}.svg)
  foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${icon}.png)
  endforeach()
endforeach()
foreach(f IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
foreach(program tenso tenso-eval tenso-report tenso-lab)
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

# The web page of the guide: every picture it shows is installed beside it, every link within the
# page has its target.
file(READ ${PREFIX}/share/doc/tenso/user-guide.html html)
string(REGEX MATCHALL "src=\"[^\"]+\"" sources "${html}")
list(LENGTH sources count)
list(LENGTH links expected_count)
if(NOT count EQUAL expected_count)
  message(FATAL_ERROR "the user guide page shows ${count} pictures, the guide ${expected_count}")
endif()
foreach(src IN LISTS sources)
  string(REGEX REPLACE "^src=\"(.*)\"$" "\\1" image "${src}")
  if(NOT EXISTS ${PREFIX}/share/doc/tenso/${image})
    message(FATAL_ERROR "the user guide page shows ${image}, which is not installed")
  endif()
endforeach()
string(REGEX MATCHALL "href=\"#[^\"]+\"" anchors "${html}")
foreach(anchor IN LISTS anchors)
  string(REGEX REPLACE "^href=\"#(.*)\"$" "\\1" id "${anchor}")
  string(FIND "${html}" "id=\"${id}\"" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the user guide page links to #${id}, which it does not hold")
  endif()
endforeach()

# The installed README is the user's: how to start and where the guide is, not how to build.
file(READ ${PREFIX}/share/doc/tenso/README readme)
if(NOT readme MATCHES "user-guide.html" OR readme MATCHES "scripts/")
  message(FATAL_ERROR "the installed README is not the user's README")
endif()

# The licence in Debian's machine-readable form.
file(STRINGS ${PREFIX}/share/doc/tenso/copyright copyright)
foreach(line "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
             "Copyright: 2026 The Tenso developers" "License: Expat")
  if(NOT line IN_LIST copyright)
    message(FATAL_ERROR "copyright lacks \"${line}\"")
  endif()
endforeach()

# The manual pages are roff that man reads without a warning.
find_program(MAN man)
if(MAN)
  foreach(page tenso tenso-eval tenso-report tenso-lab)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 LC_ALL=C.UTF-8
                            ${MAN} --warnings -l ${PREFIX}/share/man/man1/${page}.1.gz
                    RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE warnings)
    if(NOT status EQUAL 0 OR warnings OR NOT text MATCHES "EXIT STATUS")
      message(FATAL_ERROR "man ${page}: status ${status}: ${warnings}")
    endif()
  endforeach()
else()
  message(STATUS "man not found; the manual pages checked for presence only")
endif()

# Each menu entry starts its installed program by the icon name that is installed. The lines are
# list items, so their semicolons are escaped.
set(entry_tenso "Exec=tenso" "Icon=tenso" "Name=Tenso" "Categories=Science\;Engineering\;")
# Tenso Lab takes the files a file manager hands it (%F) and is offered for the machines' exports.
set(entry_tenso-lab "Exec=tenso-lab %F" "Icon=tenso-lab" "Name=Tenso Lab" "Categories=Science\;Engineering\;"
    "MimeType=text/csv\;text/plain\;text/tab-separated-values\;")
foreach(program tenso tenso-lab)
  set(desktop ${PREFIX}/share/applications/${program}.desktop)
  file(STRINGS ${desktop} entry)
  foreach(line IN LISTS entry_${program})
    if(NOT line IN_LIST entry)
      message(FATAL_ERROR "${program}.desktop lacks \"${line}\"")
    endif()
  endforeach()
  if(VALIDATE)
    execute_process(COMMAND ${VALIDATE} ${desktop} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT status EQUAL 0 OR out)
      message(FATAL_ERROR "desktop-file-validate ${program}.desktop: ${out}")
    endif()
  else()
    message(STATUS "desktop-file-validate not found; ${program}.desktop checked by its keys only")
  endif()
endforeach()

# The installed tenso-report evaluates the installed machine exports with their specimens table.
file(GLOB machine_exports ${PREFIX}/share/doc/tenso/examples/machine_*)
execute_process(COMMAND ${PREFIX}/bin/tenso-report --specimens ${PREFIX}/share/doc/tenso/examples/specimens.csv
                        ${machine_exports}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
list(LENGTH machine_exports count)
if(NOT status EQUAL 0 OR NOT count EQUAL 5)
  message(FATAL_ERROR "the installed tenso-report failed on ${count} examples (${status}): ${out}")
endif()

# The installed tenso-report finds its known-answer suite in share/tenso/validation and passes it.
foreach(f cases.csv README.md)
  if(NOT EXISTS ${PREFIX}/share/tenso/validation/${f})
    message(FATAL_ERROR "not installed: share/tenso/validation/${f}")
  endif()
endforeach()
execute_process(COMMAND ${PREFIX}/bin/tenso-report --validate
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${out}" "Suite:    ${PREFIX}/share/tenso/validation\n" at)
if(NOT status EQUAL 0 OR at EQUAL -1)
  message(FATAL_ERROR "the installed tenso-report --validate failed (${status}): ${err}\n${out}")
endif()
