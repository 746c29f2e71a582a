# korva_add_fuzzer(NAME SOURCES src... LIBRARIES lib...)
# With KORVA_FUZZ (clang) it builds the libFuzzer program NAME_fuzz. Otherwise it builds
# NAME_replay, which feeds every file of fuzz/corpus/NAME/ through the same entry point,
# and registers that replay as a test, so past findings are re-checked on every build.
function(korva_add_fuzzer name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES")
    if(KORVA_FUZZ)
        add_executable(${name}_fuzz ${arg_SOURCES})
        target_link_options(${name}_fuzz PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${name}_fuzz PRIVATE ${arg_LIBRARIES} project_warnings)
    elseif(BUILD_TESTING)
        add_executable(${name}_replay ${arg_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
        target_link_libraries(${name}_replay PRIVATE ${arg_LIBRARIES} project_warnings)
        add_test(NAME fuzz_replay_${name}
                 COMMAND ${name}_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    endif()
endfunction()
