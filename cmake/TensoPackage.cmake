# The Debian package: `cpack -G DEB` in the build folder writes tenso_<version>_<arch>.deb.
# dpkg-shlibdeps finds the libraries the programs link: Qt 6 Core, Gui, Widgets and Svg (tenso-eval
# links Svg; the same package holds the plugins that draw the window's icon) and the C++ runtime.
# What the window only looks up at run time is named here: the fonts its faces are mapped to.
set(TENSO_MAINTAINER "Tenso maintainers <maintainers@tenso.example>" CACHE STRING "Maintainer of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tenso)
set(CPACK_PACKAGE_VENDOR "Tenso")
set(CPACK_PACKAGE_CONTACT "${TENSO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "evaluation of tensile tests")
# Debian wants the lines of the long description within 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Tenso reads the plain-text data file of a tensile test, plots the\n"
    "stress-strain curve and computes the elastic modulus (least-squares tangent\n"
    "over a range of records, or a secant between two stress levels), the offset\n"
    "strength such as Rp0.2, the maximum strength and a yield strength chosen\n"
    "among the valleys of the curve.\n"
    "\n"
    "The package holds the window program tenso and the batch evaluator\n"
    "tenso-eval, which prints the same results for many files as JSON or CSV.\n"
    "\n"
    "tenso-report evaluates the files that testing machines export by\n"
    "ISO 6892-1 (E, ReH, ReL, Rp0.2, Rm, Agt, A, Z) for a series of specimens,\n"
    "with its statistics, as CSV or JSON.\n"
    "\n"
    "Tenso Lab (tenso-lab) evaluates such a series in a window by the same\n"
    "rules: a table of the specimens with the statistics, the curve of each with\n"
    "handles for its elastic range, the test report as PDF, and an evaluation\n"
    "file that tenso-report --evaluation runs again.")
set(CPACK_STRIP_FILES ON)
# Folders as Debian has them (0755), whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TENSO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")

include(CPack)
