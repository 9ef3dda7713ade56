# Build settings shared by every target of the project.

# Our own code compiles with these warnings and no others; JUCE's own warnings are not ours.
# Clang (the fuzzing configuration) has no local-only shadow warning, and its -Wshadow also
# counts members, which GCC's -Wshadow=local deliberately leaves alone.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    set(QUILLO_WARNING_FLAGS -Wall -Wextra -Wno-missing-field-initializers)
else()
    set(QUILLO_WARNING_FLAGS -Wall -Wextra -Wshadow=local -Wno-missing-field-initializers)
endif()

function(quillo_warnings target)
    target_compile_options(${target} PRIVATE ${QUILLO_WARNING_FLAGS})
endfunction()

# Sanitizer builds instrument everything, JUCE included, so that one configuration compiles
# JUCE's modules once and every object in a process agrees on the runtime.
#
# 'fuzzer' in the list (clang only, e.g. fuzzer,address,undefined) gives every object libFuzzer's
# coverage instrumentation, so that coverage reaches into the libraries and a dlopen-ed module;
# only the fuzz targets themselves link libFuzzer's main (QUILLO_FUZZING is then on).
macro(quillo_apply_sanitizers)
    set(QUILLO_FUZZING OFF)
    if(QUILLO_SANITIZE)
        set(quillo_compile_sanitizers "${QUILLO_SANITIZE}")
        set(quillo_link_sanitizers "${QUILLO_SANITIZE}")
        if(QUILLO_SANITIZE MATCHES "(^|,)fuzzer(,|$)")
            if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
                message(FATAL_ERROR "QUILLO_SANITIZE=${QUILLO_SANITIZE}: libFuzzer needs clang (-DCMAKE_CXX_COMPILER=clang++)")
            endif()
            set(QUILLO_FUZZING ON)
            string(REGEX REPLACE "(^|,)fuzzer(,|$)" "\\1fuzzer-no-link\\2" quillo_compile_sanitizers "${QUILLO_SANITIZE}")
            string(REGEX REPLACE "(^|,)fuzzer(,|$)" "\\1" quillo_link_sanitizers "${QUILLO_SANITIZE}")
            string(REGEX REPLACE ",$" "" quillo_link_sanitizers "${quillo_link_sanitizers}")
        endif()
        add_compile_options(-fsanitize=${quillo_compile_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
        # The AAX interfaces hand factories and the process procedure over as untyped pointers,
        # which the host calls as the interface says (an object, a context block): clang's
        # check of the exact function type behind such a pointer cannot hold across that line.
        if(QUILLO_SANITIZE MATCHES "undefined" AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
            add_compile_options(-fno-sanitize=function)
        endif()
        if(quillo_link_sanitizers)
            add_link_options(-fsanitize=${quillo_link_sanitizers})
        endif()
        add_compile_definitions(QUILLO_SANITIZED=1)
    endif()
endmacro()

# Gives a target JUCE's headers and definitions exactly as the shared code 'Quillo' sees them,
# and links it against that shared code, so that JUCE's module sources are never compiled twice.
# JUCE's include folders are marked SYSTEM so that its headers do not count against our warnings.
function(quillo_use_juce target)
    target_link_libraries(${target} PRIVATE Quillo)
    target_include_directories(${target} SYSTEM PRIVATE
        $<TARGET_PROPERTY:Quillo,INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} PRIVATE
        $<TARGET_PROPERTY:Quillo,COMPILE_DEFINITIONS>)
endfunction()
