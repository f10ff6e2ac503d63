# korvane_warnings(target): the project's warning set, as errors, for our own code only.
function(korvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Werror)
endfunction()
