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
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Tenso reads the plain-text data file of a tensile test, plots the stress-strain curve and computes\n"
    "the elastic modulus (least-squares tangent over a range of records, or a secant between two\n"
    "stress levels), the offset strength such as Rp0.2, the maximum strength and a yield strength\n"
    "chosen among the valleys of the curve.\n"
    "\n"
    "The package holds the window program tenso and the batch evaluator tenso-eval, which prints the\n"
    "same results for many files as JSON or CSV.\n"
    "\n"
    "tenso-report evaluates the files that testing machines export by ISO 6892-1 (E, ReH, ReL,\n"
    "Rp0.2, Rm, Agt, A, Z) for a series of specimens, with its statistics, as CSV or JSON.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TENSO_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")

include(CPack)
