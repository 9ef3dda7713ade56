#pragma once

#include "ACF/IACFComponentDefinition.h"
#include "ACF/IACFPluginDefinition.h"
#include "AAX.h"

class AAX_ICollection;

/** The module's functions behind the exported entry points. Each returns a result code; only
    AAXRegisterPlugin uses exceptions inside, and it catches them all. The host calls them from
    its non-real-time threads, never start-up or shutdown concurrently with anything else. */

/** Describes the plug-in to the host: builds a collection over `host`, has GetEffectDescriptions
    fill it and hands the host its plug-in definition through *out. A null `out` gives -20044;
    *out is null until the definition is handed over. Failures are traced. */
AAX_Result AAXRegisterPlugin(IACFUnknown* host, IACFPluginDefinition** out);

/** The plug-in registers no separate components: *out = null, 0. */
AAX_Result AAXRegisterComponent(IACFUnknown* host, uint32_t index, IACFComponentDefinition** out);

/** Instances are made only through the registered procedures: *out = null, -20009. */
AAX_Result AAXGetClassFactory(IACFUnknown* host, const acfCLSID& clsid, const acfIID& iid, void** out);

/** The number of live plug-in objects: 0 when the module may be unloaded. */
AAX_Result AAXCanUnloadNow(IACFUnknown* host);

/** Installs the host's diagnostics services; 0. */
AAX_Result AAXStartup(IACFUnknown* host);

/** Removes the host's diagnostics services; 0. */
AAX_Result AAXShutdown(IACFUnknown* host);

/** Writes the interface version this module was built against (AAX_SDK_VERSION in the upper
    half, AAX_SDK_CURRENT_REVISION in the lower); a null `out` gives -20044. */
AAX_Result AAXGetSDKVersion(uint64_t* out);

/** The plug-in's description routine, defined by the plug-in module: writes its effects into
    `collection`; 0 on success. */
AAX_Result GetEffectDescriptions(AAX_ICollection* collection);
