#include "FontManager.h"

#include <BinaryData.h>

namespace
{
    FontManager* fmgr2_instance = nullptr;
    int32_t fmgr2_retain_count = 0;
}

FontManager::FontManager (juce::Font first, juce::Font second, juce::Font third)
    : fonts { std::move (first), std::move (second), std::move (third) }
{
}

FontManager* FontManager::create (juce::Font first, juce::Font second, juce::Font third)
{
    ++fmgr2_retain_count;

    if (fmgr2_instance == nullptr)
        fmgr2_instance = new FontManager (std::move (first), std::move (second), std::move (third));

    return fmgr2_instance;
}

FontManager* FontManager::createFromEmbeddedFont()
{
    return create (makeEmbeddedFont(), makeEmbeddedFont(), makeEmbeddedFont());
}

FontManager* FontManager::getInstance()
{
    return fmgr2_instance;
}

void FontManager::destroy()
{
    if (fmgr2_retain_count <= 0)
        return;

    if (--fmgr2_retain_count == 0)
    {
        delete fmgr2_instance;
        fmgr2_instance = nullptr;
    }
}

juce::Font& FontManager::normalFont (float height)
{
    fonts[0].setHeight (height);
    return fonts[0];
}

juce::Font FontManager::uiFont (float height)
{
    if (auto* instance = getInstance())
        return instance->normalFont (height);

    return juce::Font (height);
}

juce::Font FontManager::makeEmbeddedFont()
{
    auto typeface = juce::Typeface::createSystemTypefaceFor (BinaryData::ArimoRegular_ttf,
                                                             (size_t) BinaryData::ArimoRegular_ttfSize);
    return typeface != nullptr ? juce::Font (typeface) : juce::Font();
}
