#include "StandInHost.h"

#include "HostError.h"
#include "PlugInInstance.h"
#include "X11Window.h"

namespace aaxhost
{
namespace
{
/** Xlib is readied before the module is loaded: a plug-in may open its display at any time. */
const std::string& PreparedPath(const std::string& path)
{
    X11Window::PrepareXlib();
    return path;
}
} // namespace

StandInHost::StandInHost(const std::string& modulePath, CallObserver* observer)
    : mModule(std::make_unique<Module>(PreparedPath(modulePath)))
    , mHost(std::make_unique<Host>(observer))
    , mOwner(std::this_thread::get_id())
{
    const ACFRESULT started = mModule->Startup(mHost->Unknown());
    if (started != ACF_OK)
    {
        mModule->Shutdown(mHost->Unknown());
        throw HostError("ACFStartup failed", started);
    }

    IACFPluginDefinition* definition = nullptr;
    const ACFRESULT registered = mModule->RegisterPlugin(mHost->Unknown(), &definition);
    mDefinition.attach(definition);
    Pump();
    if (registered != ACF_OK || !mDefinition)
    {
        mDefinition.reset();
        mModule->Shutdown(mHost->Unknown());
        throw HostError("ACFRegisterPlugin failed", registered != ACF_OK ? registered : AAX_ERROR_NULL_OBJECT);
    }

    mDescription = PluginDescription::Read(*mHost);
    if (mDescription.effects.empty() || Effect().createParameters == nullptr)
    {
        Shutdown();
        throw HostError("the module described no effect with a data model", AAX_ERROR_NO_COMPONENTS);
    }
}

StandInHost::~StandInHost()
{
    try
    {
        Shutdown();
    }
    catch (const HostError&)
    {
        // Destroyed off the main thread: the module is unloaded all the same.
    }
    mDefinition.reset();
    mHost.reset();
}

void StandInHost::CheckThread(const char* what) const
{
    if (std::this_thread::get_id() != mOwner)
        throw HostError(std::string(what) + " called off the host's main thread", AAX_ERROR_NOT_INITIALIZED);
}

AAX_EStemFormat StandInHost::StemFormatFor(int numChannels)
{
    if (numChannels == 1)
        return AAX_eStemFormat_Mono;
    if (numChannels == 2)
        return AAX_eStemFormat_Stereo;
    throw HostError("only mono and stereo instances are offered, not " + std::to_string(numChannels) + " channels",
                    AAX_ERROR_INVALID_ARGUMENT);
}

std::unique_ptr<PlugInInstance> StandInHost::CreateInstance(int numChannels, float sampleRate)
{
    CheckThread("CreateInstance");
    if (mShutDown)
        throw HostError("the module is shut down", AAX_ERROR_NOT_INITIALIZED);
    const AAX_EStemFormat format = StemFormatFor(numChannels);
    const ComponentDescription* const component = Effect().FindComponent(format, format);
    if (component == nullptr)
        throw HostError("the plug-in describes no " + StemFormatName(format) + " component", AAX_ERROR_NO_COMPONENTS);
    return std::make_unique<PlugInInstance>(*this, *component, sampleRate);
}

void StandInHost::Pump(int milliseconds)
{
    CheckThread("Pump");
    if (!mShutDown)
        mModule->DispatchMessages(milliseconds);
}

int32_t StandInHost::Shutdown()
{
    CheckThread("Shutdown");
    if (!mShutDown)
    {
        Pump();
        mDefinition.reset();
        mModule->Shutdown(mHost->Unknown());
        mShutDown = true;
    }
    return mModule->CanUnloadNow(mHost->Unknown());
}
} // namespace aaxhost
