#include "VLBanner.h"
#include "FactoryPresets.h"
#include "PluginProcessor.h"
#include "VLGraphics.h"

#include <BinaryData.h>

namespace
{
    constexpr float categoryColumnWidth = 90.0f;
    constexpr float presetColumnWidth = 150.0f;
}

VLBanner::VLBanner (Delegate* d) : delegate (d)
{
    setOpaque (true);

    divider = VLGraphics::GetImage ("divider");
    logo = VLGraphics::GetImage ("quillo_logo");

    previousButton.image = VLGraphics::GetImage ("arrow_left");
    previousButton.delegate = this;
    nextButton.image = VLGraphics::GetImage ("arrow_right");
    nextButton.delegate = this;
    addAndMakeVisible (previousButton);
    addAndMakeVisible (nextButton);

    popup.init (factoryCategoryNames(), factoryTitles(), 0, 0, this, categoryColumnWidth, presetColumnWidth);

    addAndMakeVisible (popup.nameField);
}

VLBanner::~VLBanner()
{
    // The pop-up may still be shown in the editor; take it out before it goes.
    if (auto* parent = popup.getParentComponent())
        parent->removeChildComponent (&popup);
}

std::vector<juce::String> VLBanner::factoryCategoryNames()
{
    std::vector<juce::String> names;

    for (int c = 0; c < FACTORY_PRESET_NUM_CATEGORIES; ++c)
        names.push_back (FACTORY_PRESET_CATEGORIES[c]);

    return names;
}

std::vector<std::vector<juce::String>> VLBanner::factoryTitles()
{
    std::vector<std::vector<juce::String>> titles ((size_t) FACTORY_PRESET_NUM_CATEGORIES);

    for (int c = 0; c < FACTORY_PRESET_NUM_CATEGORIES; ++c)
        for (int i = 0; i < FACTORY_PRESET_COUNTS[c]; ++i)
            titles[(size_t) c].push_back (factoryPresetTitle (c, i));

    return titles;
}

void VLBanner::paint (juce::Graphics& g)
{
    const int w = getWidth();

    g.fillAll (juce::Colour::fromFloatRGBA (0.27f, 0.27f, 0.27f, 1.0f));

    for (int x : { 100, w - 100, w - 124, w - 148 })
        VLGraphics::DrawImageAt (g, divider, x, 4, 1.0f);

    VLGraphics::DrawImageAt (g, logo, 31, 7, 1.0f);
}

void VLBanner::resized()
{
    const int w = getWidth();

    previousButton.setBounds (w - 148, 0, 24, 20);
    nextButton.setBounds (w - 124, 0, 24, 20);
    popup.nameField.setBounds (100, 0, w - 248, 20);

    if (auto* parent = getParentComponent())
        popup.setBounds (parent->getLocalBounds());

    // The columns hang under the name field, which may just have moved.
    popup.resized();
}

void VLBanner::factoryPresetChange (int category, int index)
{
    if (! isValidFactoryPreset (category, index) || delegate == nullptr)
        return;

    auto* processor = delegate->getProcessor();

    if (processor == nullptr)
        return;

    const auto resourceName = factoryPresetResourceName (category, index);
    int size = 0;
    const char* data = BinaryData::getNamedResource (resourceName.c_str(), size);

    if (data == nullptr || size <= 0)
        return;

    processor->presetIndex = index;
    processor->presetCategory = category;
    processor->presetModified = false;

    // The blob carries no preset fields, so the ones just written stay.
    processor->setStateInformation (data, size);

    // The processor tells the editor later, on the message loop; show the loaded preset now so
    // that the name and the arrows never lag behind what was loaded.
    popup.setSelectedPreset (category, index);
    updateArrows();
}

void VLBanner::showFactoryPresetList()
{
    if (auto* parent = getParentComponent())
    {
        popup.setBounds (parent->getLocalBounds());
        parent->addAndMakeVisible (popup);
        popup.toFront (false);
    }
}

void VLBanner::buttonClicked (VLImageButton* button)
{
    if (button == &nextButton)
    {
        popup.setNextPreset();
    }
    else if (button == &previousButton)
    {
        const int c = popup.getSelectedCategory();
        const int i = popup.getSelectedIndex();

        if (c == 0 && i == 0)
            return;

        int previousCategory = c;
        int previousIndex = i - 1;

        if (i <= 0)
        {
            previousCategory = c - 1;
            previousIndex = popup.getNumPresets (previousCategory) - 1;
        }

        if (! popup.isValidPair (previousCategory, previousIndex))
            return;

        popup.setSelectedPreset (previousCategory, previousIndex);
        factoryPresetChange (previousCategory, previousIndex);
    }
}

void VLBanner::showPreset (int category, int index, bool modified)
{
    popup.setSelectedPreset (category, index);

    if (modified)
        popup.invalidateCurrentPreset();

    updateArrows();
}

void VLBanner::updateArrows()
{
    const int c = popup.getSelectedCategory();
    const int i = popup.getSelectedIndex();
    const int last = popup.getNumCategories() - 1;

    nextButton.dimmed = (c == last && i == popup.getNumPresets (last) - 1);
    nextButton.repaint();

    previousButton.dimmed = (c == 0 && i == 0);
    previousButton.repaint();
}
