#pragma once

#include "IACFDefinition.h"

/** The definition of a whole plug-in module, handed to the host at registration. */
class IACFPluginDefinition : public IACFDefinition
{
};
