#include "ValidationSupport.h"

namespace quillo::validation
{
std::map<std::string, double> ControlsChunkValues(const std::vector<uint8_t>& data)
{
    std::map<std::string, double> values;
    for (const auto& [id, value] : ControlEntries(data))
        values[id] = value;
    return values;
}

namespace
{
::testing::AssertionResult CompareViews(aaxhost::PlugInInstance& instance, bool mustAgree)
{
    const auto ids = EngineParameterIds(instance);
    const auto model = ParameterValues(instance, ids);

    aaxhost::Chunk controls;
    if (instance.GetChunk(kElck, controls) != AAX_SUCCESS)
        return ::testing::AssertionFailure() << "no 'elck' chunk";
    const auto library = ControlsChunkValues(controls.data);
    const auto engine = BlobValues(JuceState(instance));
    if (engine.size() != ids.size())
        return ::testing::AssertionFailure() << "the 'juce' chunk holds " << engine.size() << " values";

    for (size_t i = 0; i < ids.size(); ++i)
    {
        const auto found = library.find(ids[i]);
        const double inLibrary = found != library.end() ? found->second : std::nan("");
        const double values[3] = { model[i], inLibrary, double(engine[i]) };
        const bool normalised = std::all_of(values, values + 3, [](double v) { return std::isfinite(v) && v >= 0.0 && v <= 1.0; });
        // The library keeps a float as a double; the engine keeps a float.
        const bool agree = std::fabs(values[0] - values[1]) <= 1.0e-6 && std::fabs(values[0] - values[2]) <= 1.0e-6;
        if (!normalised || (mustAgree && !agree))
            return ::testing::AssertionFailure() << ids[i] << (normalised ? " disagrees" : " leaves 0..1") << ": data model "
                                                 << model[i] << ", library " << inLibrary << ", engine " << engine[i];
    }
    return ::testing::AssertionSuccess();
}
} // namespace

::testing::AssertionResult ViewsAgree(aaxhost::PlugInInstance& instance)
{
    return CompareViews(instance, true);
}

::testing::AssertionResult ViewsNormalised(aaxhost::PlugInInstance& instance)
{
    return CompareViews(instance, false);
}
} // namespace quillo::validation
