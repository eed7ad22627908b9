# Read by cpack for each package kind it makes. A Debian package declares its
# dependencies through dpkg-shlibdeps; without it cpack would quietly make a
# package that declares none, so that is refused.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(GRIDSNIP_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT GRIDSNIP_DPKG_SHLIBDEPS)
    message(FATAL_ERROR "cpack -G DEB needs dpkg-shlibdeps to declare the package's "
                        "dependencies: install dpkg-dev")
  endif()
endif()
