# Every target of the project builds with the same warnings; the tree stays free of them.
function(larkspur_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                             -Wold-style-cast -Wcast-align -Woverloaded-virtual
                                             -Wformat=2 -Wimplicit-fallthrough)
endfunction()
