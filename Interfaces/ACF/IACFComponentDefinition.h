#pragma once

#include "IACFDefinition.h"

/** The definition of one separately registered component of a module. */
class IACFComponentDefinition : public IACFDefinition
{
};
