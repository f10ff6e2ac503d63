# korvane_warnings(target): the project's warning set, as errors, for our own code only.
function(korvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Werror)
    # GCC's maybe-uninitialized analysis gives false alarms on instrumented code (std::variant
    # moves under ASan); the normal build keeps the warning.
    if(ENABLE_SANITIZERS AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
    endif()
endfunction()
