# cmake -DCPACK=cpack -DBUILD_DIR=... -DOUT=... -DLINTIAN=lintian -P check_package.cmake
# Builds the Debian package into OUT, checks that it carries what Debian asks of every package (the
# copyright, the changelog, the manual pages) and that lintian finds no error in it.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${OUT}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB deb ${OUT}/tenso_*.deb)
if(NOT status EQUAL 0 OR NOT deb)
  message(FATAL_ERROR "cpack failed (${status}):\n${out}")
endif()

execute_process(COMMAND dpkg-deb --contents ${deb} RESULT_VARIABLE status OUTPUT_VARIABLE contents)
foreach(f ./usr/share/doc/tenso/copyright ./usr/share/doc/tenso/changelog.gz
          ./usr/share/man/man1/tenso.1.gz ./usr/share/man/man1/tenso-eval.1.gz
          ./usr/share/man/man1/tenso-report.1.gz ./usr/share/man/man1/tenso-lab.1.gz
          ./usr/bin/tenso-lab ./usr/share/applications/tenso-lab.desktop
          ./usr/share/icons/hicolor/scalable/apps/tenso-lab.svg
          ./usr/share/icons/hicolor/48x48/apps/tenso-lab.png)
  string(FIND "${contents}" " ${f}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${f}")
  endif()
endforeach()

# The description names every program the package holds, Tenso Lab too.
execute_process(COMMAND dpkg-deb --field ${deb} Description OUTPUT_VARIABLE description)
foreach(program tenso-eval tenso-report tenso-lab)
  string(FIND "${description}" "${program}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package description does not name ${program}:\n${description}")
  endif()
endforeach()

# Errors fail; warnings are printed (the ones we keep are explained in docs/decisions.md).
execute_process(COMMAND ${LINTIAN} --fail-on error --tag-display-limit 0 ${deb}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "lintian:\n${out}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lintian reports errors (${status}):\n${out}${err}")
endif()
