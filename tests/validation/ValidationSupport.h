#pragma once

// Shared by the validation suite: the stand-in host over the built module (HostedModule.h), as a
// host that checks a plug-in before trusting it would drive it, and the checks it applies to what
// comes back. Every random choice comes from a generator with a fixed seed, printed with any
// failure.

#include "HostedModule.h"

namespace quillo::validation
{
using namespace quillo::hosted;

// The host as quillo-host runs it: nothing observes its calls.
class HostTest : public ModuleTest
{
protected:
    HostTest() { record = false; }
};

// The values an 'elck' chunk holds for the parameters (the library's own view of them), by id.
std::map<std::string, double> ControlsChunkValues(const std::vector<uint8_t>& data);

// Passes when the three views of every engine parameter agree: the data model's normalised
// value, the 'elck' chunk (the AAX library's parameters) and the 'juce' chunk (the engine's own
// state), and all three are finite and within 0..1.
::testing::AssertionResult ViewsAgree(aaxhost::PlugInInstance& instance);

// As ViewsAgree, but only that each view on its own is finite and within 0..1.
::testing::AssertionResult ViewsNormalised(aaxhost::PlugInInstance& instance);
} // namespace quillo::validation
