#pragma once

#include <memory>
#include <string>
#include <thread>

#include "ACF/ACFPtr.h"
#include "ACF/IACFPluginDefinition.h"
#include "Description.h"
#include "Host.h"
#include "Module.h"

namespace aaxhost
{
class PlugInInstance;

/** The stand-in AAX host with one plug-in module loaded: the module started (ACFStartup) and
    registered (ACFRegisterPlugin) against this host's context and component factory, its
    description read back, ready to make instances.

    Threads: every call into the module except processing is made from the thread that made this
    object (the host's main thread, which becomes JUCE's message thread inside the plug-in);
    calls from elsewhere throw HostError. Between those calls the host runs the module's message
    loop (Pump), as a host's run loop would.

    Closing: close every instance and editor, then Shutdown (also done by the destructor), which
    reports the module's live objects; the module is unloaded when this object goes. */
class StandInHost
{
public:
    /** Loads the module at `modulePath`, starts and registers it. Throws ModuleError when it cannot
        be loaded and HostError when start-up or registration fails or nothing usable was
        described (no effect, no factory). `observer` (tests; null for none) sees every call
        into the host's objects from start-up on and must outlive this object. */
    explicit StandInHost(const std::string& modulePath, CallObserver* observer = nullptr);
    ~StandInHost();

    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    Host& GetHost() { return *mHost; }
    const Module& GetModule() const { return *mModule; }
    const PluginDescription& Description() const { return mDescription; }

    /** The first effect described (this host plays one effect). */
    const EffectDescription& Effect() const { return mDescription.effects.front(); }

    /** An initialised instance with `numChannels` in and out (1 mono, 2 stereo) at `sampleRate`,
        over the component described for that pair of stem formats. Throws HostError. */
    std::unique_ptr<PlugInInstance> CreateInstance(int numChannels, float sampleRate);

    /** Runs the module's message loop for `milliseconds` (0: what is pending now). */
    void Pump(int milliseconds = 0);

    /** Drops the plug-in definition, shuts the module down (ACFShutdown) and returns
        ACFCanUnloadNow: the number of the module's objects still alive (0 when all were
        released). Repeated calls only ask ACFCanUnloadNow again. */
    int32_t Shutdown();

    bool IsShutDown() const { return mShutDown; }

    /** Throws HostError unless called on the host's main thread. */
    void CheckThread(const char* what) const;

    /** The stem format for 1 or 2 channels; HostError for anything else. */
    static AAX_EStemFormat StemFormatFor(int numChannels);

private:
    std::unique_ptr<Module> mModule; // declared first: unloaded after the host objects are gone
    std::unique_ptr<Host> mHost;
    ACFPtr<IACFPluginDefinition> mDefinition;
    PluginDescription mDescription;
    std::thread::id mOwner;
    bool mShutDown = false;
};
} // namespace aaxhost
