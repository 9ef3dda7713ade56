# On Linux JUCE builds no AAX kind, and Debian's copy of juce_CheckSettingMacros.h forces
# JucePlugin_Build_AAX to 0 and then stops because no format is left. The shared code of an AAX
# plug-in must still be compiled with JucePlugin_Build_AAX=1 (the wrapper module relies on it), so
# at configure time we mirror the parts of juce_audio_plugin_client that the shared code and the
# AAX wrapper include into the build tree: links to Debian's files, and one generated copy of
# juce_CheckSettingMacros.h without Debian's block that turns AAX off. Relative includes inside
# the mirrored files then resolve inside the mirror. Nothing of JUCE is copied into the repository.

function(quillo_make_juce_shadow out_dir_var)
    get_target_property(module_path juce::juce_audio_plugin_client INTERFACE_JUCE_MODULE_PATH)
    set(client "${module_path}/juce_audio_plugin_client")
    if(NOT EXISTS "${client}/utility/juce_CheckSettingMacros.h")
        message(FATAL_ERROR "juce_audio_plugin_client not found at ${client}")
    endif()

    set(shadow "${PROJECT_BINARY_DIR}/juce_shadow")
    set(shadow_client "${shadow}/juce_audio_plugin_client")
    file(MAKE_DIRECTORY "${shadow_client}/utility" "${shadow_client}/AAX")

    set(linked
        juce_audio_plugin_client_utils.cpp
        AAX/juce_AAX_Wrapper.cpp
        AAX/juce_AAX_Modifier_Injector.h
        utility/juce_PluginUtilities.cpp
        utility/juce_IncludeModuleHeaders.h
        utility/juce_IncludeSystemHeaders.h
        utility/juce_CreatePluginFilter.h
        utility/juce_WindowsHooks.h
        utility/juce_LinuxMessageThread.h)

    foreach(f IN LISTS linked)
        if(NOT EXISTS "${client}/${f}")
            message(FATAL_ERROR "JUCE file ${client}/${f} is missing")
        endif()
        file(CREATE_LINK "${client}/${f}" "${shadow_client}/${f}" SYMBOLIC)
    endforeach()

    file(READ "${client}/utility/juce_CheckSettingMacros.h" settings)
    set(debian_block
"#if JucePlugin_Build_AAX
# warning JUCE/Debian disabled AAX support
# undef JucePlugin_Build_AAX
# define JucePlugin_Build_AAX 0
#endif")
    string(FIND "${settings}" "${debian_block}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "The block of juce_CheckSettingMacros.h that disables AAX was not found; "
                            "the JUCE package changed and the shadow header must be revisited.")
    endif()
    string(REPLACE "${debian_block}" "/* AAX stays enabled for this build */" settings "${settings}")
    file(WRITE "${shadow_client}/utility/juce_CheckSettingMacros.h.tmp" "${settings}")
    file(COPY_FILE "${shadow_client}/utility/juce_CheckSettingMacros.h.tmp"
                   "${shadow_client}/utility/juce_CheckSettingMacros.h" ONLY_IF_DIFFERENT)
    file(REMOVE "${shadow_client}/utility/juce_CheckSettingMacros.h.tmp")

    set(${out_dir_var} "${shadow}" PARENT_SCOPE)
endfunction()

# Switches the shared code of 'target' to the AAX build: JucePlugin_Build_AAX=1 and the plug-in
# client utilities compiled from the shadow folder.
function(quillo_enable_aax_in_shared_code target)
    quillo_make_juce_shadow(shadow)
    set(QUILLO_JUCE_SHADOW_DIR "${shadow}" CACHE INTERNAL "Shadow folder of juce_audio_plugin_client")

    get_target_property(defs ${target} COMPILE_DEFINITIONS)
    list(TRANSFORM defs REPLACE "^JucePlugin_Build_AAX=0$" "JucePlugin_Build_AAX=1")
    set_target_properties(${target} PROPERTIES COMPILE_DEFINITIONS "${defs}")

    set_property(TARGET juce_audio_plugin_client_utils PROPERTY INTERFACE_SOURCES
        "${shadow}/juce_audio_plugin_client/juce_audio_plugin_client_utils.cpp")
endfunction()
