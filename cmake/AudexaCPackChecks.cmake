# Read by cpack before it makes the package. Without dpkg-shlibdeps, CPack would only say so and
# make a package that names none of the libraries it needs.
if(CPACK_GENERATOR STREQUAL "DEB")
    find_program(AUDEXA_SHLIBDEPS dpkg-shlibdeps)
    if(NOT AUDEXA_SHLIBDEPS)
        message(FATAL_ERROR "The package's dependencies are worked out by dpkg-shlibdeps, which "
                            "is missing: apt-get install dpkg-dev")
    endif()
endif()
