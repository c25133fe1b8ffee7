# Parts of the program loaded on first use (host/Module.h): each is a shared
# library of its own, built beside the program in the build tree and
# installed into the program's module folder, so that the libraries it needs
# are not mapped at start-up.
#
# qvanto_add_module(TARGET SOURCES a.cpp ... LIBS lib ...)
# The library exports plain factory functions with C names and links no
# static layer of the program: it shares the program's headers, not its state.

set(QVANTO_MODULE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/qvanto)
# Where the modules are built: beside the program. Never compiled into the
# program, which a copy moved elsewhere would otherwise still load from.
set(QVANTO_MODULE_BUILD_DIR ${CMAKE_BINARY_DIR})

# Everything that may load a module depends on this, so tests and the
# program never run without the modules built.
add_custom_target(qvanto_modules)

function(qvanto_add_module target)
    cmake_parse_arguments(M "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${target} MODULE ${M_SOURCES})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PRIVATE qvanto_warnings ${M_LIBS})
    set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${QVANTO_MODULE_BUILD_DIR})
    install(TARGETS ${target} LIBRARY DESTINATION ${QVANTO_MODULE_INSTALL_DIR})
    add_dependencies(qvanto_modules ${target})
endfunction()
