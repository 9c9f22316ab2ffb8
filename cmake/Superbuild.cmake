# The `all` preset: a tree of trees. It compiles nothing itself. Its build configures and builds
# the trees of the other presets, each with its own compiler, in build/<preset>, one after the
# other; its tests are theirs: build/all/CTestTestfile.cmake reads each tree's CTestTestfile, so
# every test keeps its name, labels, fixtures and timeout, and `ctest --preset all -L unit`
# selects as in any tree. `cmake --workflow --preset all` does the three steps.
#
# A tree joins with one line at the end of this file: orvane_subbuild(<preset>) for a preset
# whose binaryDir is build/<preset>, with BUILD_ONLY when its tests cannot run here.

enable_testing()
set(subbuild_tests ${CMAKE_BINARY_DIR}/subbuild_tests.cmake)
file(WRITE ${subbuild_tests} "# The trees whose tests run here, in this order.\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${subbuild_tests})

# orvane_subbuild(PRESET [BUILD_ONLY]): the target PRESET configures and builds the preset's
# tree, after the trees named before it; unless BUILD_ONLY, its tests are read in.
set(previous_subbuild "")
macro(orvane_subbuild preset)
    cmake_parse_arguments(subbuild "BUILD_ONLY" "" "" ${ARGN})
    # The sub-build runs its own make with its own jobs, not as part of this one.
    add_custom_target(${preset} ALL
        COMMAND ${CMAKE_COMMAND} --preset ${preset}
        COMMAND ${CMAKE_COMMAND} -E env --unset=MAKEFLAGS --unset=MAKELEVEL
            ${CMAKE_COMMAND} --build --preset ${preset}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        COMMENT "The ${preset} preset: configuring and building build/${preset}"
        USES_TERMINAL VERBATIM)
    if(previous_subbuild)
        add_dependencies(${preset} ${previous_subbuild})
    endif()
    set(previous_subbuild ${preset})
    if(NOT subbuild_BUILD_ONLY)
        set(tree ${PROJECT_SOURCE_DIR}/build/${preset})
        # A tree that was never configured would drop its tests without a word: a test says so.
        file(APPEND ${subbuild_tests}
            "if(EXISTS \"${tree}/CTestTestfile.cmake\")\n"
            "  subdirs(\"${tree}\")\n"
            "else()\n"
            "  add_test(${preset}.not_built sh -c \"echo 'build/${preset} has no tests: "
            "cmake --build --preset all' >&2; exit 1\")\n"
            "endif()\n")
    endif()
endmacro()

orvane_subbuild(host)
orvane_subbuild(host-asan)
orvane_subbuild(fuzz)
orvane_subbuild(windows)
orvane_subbuild(windows-i686) # its e2e cases under 32-bit Wine in a guest (tests/wine32)
orvane_subbuild(linux) # orvane over libusb, tested under umockdev
