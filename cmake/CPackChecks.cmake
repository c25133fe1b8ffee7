# Read by cpack before it packs (CPACK_PROJECT_CONFIG_FILE).
if(NOT CPACK_QVANTO_CONFIGURED_PREFIX STREQUAL CPACK_PACKAGING_INSTALL_PREFIX)
    message(FATAL_ERROR
        "This build folder was configured with CMAKE_INSTALL_PREFIX="
        "${CPACK_QVANTO_CONFIGURED_PREFIX}, but the package installs into "
        "${CPACK_PACKAGING_INSTALL_PREFIX}; the program would not know it is "
        "installed. Configure with -DCMAKE_INSTALL_PREFIX="
        "${CPACK_PACKAGING_INSTALL_PREFIX}, or use cmake/build-deb.sh.")
endif()
