# Fails when the portable core reaches for a system: an include of the platform layer or a
# system header, or conditional compilation. The core is every source directly in app/,
# common/, device/, modechange/ and text/; the systems' sides live in their windows/ and linux/
# subdirectories.
foreach(dir app common device modechange text)
    file(GLOB sources ${SOURCE_DIR}/${dir}/*.h ${SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND core ${sources})
endforeach()
set(problems "")
foreach(source ${core})
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*(if|ifdef|ifndef|elif)|#[ \t]*include[ \t]*[<\"](platform/|windows|setupapi|libusb|unistd|sys/)")
    foreach(line ${lines})
        string(APPEND problems "${source}: ${line}\n")
    endforeach()
endforeach()
list(LENGTH core count)
if(count LESS 20)
    message(FATAL_ERROR "only ${count} core sources found under ${SOURCE_DIR}")
endif()
if(problems)
    message(FATAL_ERROR "the portable core reaches for a system:\n${problems}")
endif()
message(STATUS "${count} core sources, none reaches for a system")
