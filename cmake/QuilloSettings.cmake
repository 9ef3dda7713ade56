# Build settings shared by every target of the project.

# Our own code compiles with these warnings and no others; JUCE's own warnings are not ours.
set(QUILLO_WARNING_FLAGS -Wall -Wextra -Wshadow=local -Wno-missing-field-initializers)

function(quillo_warnings target)
    target_compile_options(${target} PRIVATE ${QUILLO_WARNING_FLAGS})
endfunction()

# Sanitizer builds instrument everything, JUCE included, so that one configuration compiles
# JUCE's modules once and every object in a process agrees on the runtime.
macro(quillo_apply_sanitizers)
    if(QUILLO_SANITIZE)
        add_compile_options(-fsanitize=${QUILLO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
        add_link_options(-fsanitize=${QUILLO_SANITIZE})
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
