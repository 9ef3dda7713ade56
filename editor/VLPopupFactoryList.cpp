#include "VLPopupFactoryList.h"

namespace
{
    constexpr int categoryListId = 0;
    constexpr int presetListId = 1;
    constexpr int rowPitch = 20;
}

VLPopupFactoryList::VLPopupFactoryList() = default;
VLPopupFactoryList::~VLPopupFactoryList() = default;

bool VLPopupFactoryList::isValidPair (int category, int index) const noexcept
{
    return juce::isPositiveAndBelow (category, (int) categories.size())
        && juce::isPositiveAndBelow (category, (int) titles.size())
        && juce::isPositiveAndBelow (index, (int) titles[(size_t) category].size());
}

int VLPopupFactoryList::getNumPresets (int category) const noexcept
{
    return juce::isPositiveAndBelow (category, (int) titles.size()) ? (int) titles[(size_t) category].size() : 0;
}

juce::String VLPopupFactoryList::getTitle (int category, int index) const
{
    return isValidPair (category, index) ? titles[(size_t) category][(size_t) index] : juce::String();
}

std::vector<juce::String> VLPopupFactoryList::titlesOf (int category) const
{
    return juce::isPositiveAndBelow (category, (int) titles.size()) ? titles[(size_t) category]
                                                                    : std::vector<juce::String>();
}

void VLPopupFactoryList::init (std::vector<juce::String> newCategories,
                               std::vector<std::vector<juce::String>> newTitles, int index, int category,
                               Delegate* newDelegate, float newCategoryWidth, float newPresetWidth)
{
    modifiedShown = false;
    categoryWidth = newCategoryWidth;
    presetWidth = newPresetWidth;
    categories = std::move (newCategories);
    titles = std::move (newTitles);

    // Keep the invariant that the current pair names a title, whatever the caller passed.
    if (! isValidPair (category, index))
        category = index = 0;

    selectedCategory = browseCategory = category;
    selectedIndex = index;

    nameField.listener = this;

    categoryList.init (categories, (int) categories.size(), browseCategory, categoryListId, this);

    for (int i = 0; i < categoryList.getNumRows(); ++i)
        categoryList.getRow (i)->bright = true;

    const auto browsed = titlesOf (browseCategory);
    presetList.init (browsed, (int) browsed.size(), selectedIndex, presetListId, this);

    delegate = newDelegate;

    setSelectedPreset (browseCategory, selectedIndex);

    addAndMakeVisible (categoryList);
    addAndMakeVisible (presetList);
}

void VLPopupFactoryList::setSelectedPreset (int category, int index)
{
    if (! isValidPair (category, index))
        return;

    selectedCategory = browseCategory = category;
    selectedIndex = index;

    nameField.text = titles[(size_t) category][(size_t) index];
    nameField.repaint();

    categoryList.setSelected (category);
    presetList.updateContent (titles[(size_t) category], index, presetListId);

    modifiedShown = false;
    resized();
}

void VLPopupFactoryList::invalidateCurrentPreset()
{
    if (modifiedShown || ! isValidPair (selectedCategory, selectedIndex))
        return;

    modifiedShown = true;
    nameField.text = "* " + titles[(size_t) selectedCategory][(size_t) selectedIndex];
    nameField.repaint();
    resized();
}

void VLPopupFactoryList::setNextPreset()
{
    const int last = (int) categories.size() - 1;

    if (! isValidPair (selectedCategory, selectedIndex))
        return;

    if (selectedCategory == last && selectedIndex == getNumPresets (last) - 1)
        return;

    int nextCategory = selectedCategory;
    int nextIndex = selectedIndex + 1;

    if (selectedIndex == getNumPresets (selectedCategory) - 1)
    {
        nextCategory = selectedCategory + 1;
        nextIndex = 0;
    }

    // Skip any empty category in between rather than stop on an invalid pair.
    while (nextCategory <= last && ! isValidPair (nextCategory, nextIndex))
        ++nextCategory;

    if (! isValidPair (nextCategory, nextIndex))
        return;

    setSelectedPreset (nextCategory, nextIndex);

    if (delegate != nullptr)
        delegate->factoryPresetChange (selectedCategory, selectedIndex);
}

void VLPopupFactoryList::modulePresetChange (int listId, int item)
{
    if (listId == presetListId)
    {
        if (! isValidPair (browseCategory, item))
            return;

        selectedCategory = browseCategory;
        selectedIndex = item;
        modifiedShown = false;

        // The load makes the editor show the pair again, which refills the preset column: the
        // row whose click brought us here is gone when this returns.
        if (delegate != nullptr)
            delegate->factoryPresetChange (browseCategory, item);

        if (isValidPair (selectedCategory, selectedIndex))
        {
            nameField.text = titles[(size_t) selectedCategory][(size_t) selectedIndex];
            nameField.repaint();
        }
    }
    else if (listId == categoryListId)
    {
        if (! juce::isPositiveAndBelow (item, (int) titles.size()))
            return;

        const int mark = (item == selectedCategory) ? selectedIndex : -1;
        browseCategory = item;
        presetList.updateContent (titles[(size_t) item], mark, presetListId);
    }

    resized();
}

void VLPopupFactoryList::buttonClicked (juce::Button*)
{
    if (delegate != nullptr)
        delegate->showFactoryPresetList();

    resized();
}

void VLPopupFactoryList::mouseDown (const juce::MouseEvent&)
{
    // Presses on the columns go to their rows; anything else on the pop-up closes it.
    if (auto* parent = getParentComponent())
        parent->removeChildComponent (this);
}

void VLPopupFactoryList::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour::fromFloatRGBA (0.1f, 0.1f, 0.1f, 0.95f));
    g.fillRect (categoryList.getBounds());
    g.fillRect (presetList.getBounds());
}

void VLPopupFactoryList::resized()
{
    const int h1 = (int) categories.size() * rowPitch;

    auto field = nameField.getBounds();
    int x1 = (int) ((double) field.getX() + (double) field.getWidth() * 0.5
                    - ((double) categoryWidth + (double) presetWidth) * 0.5);
    int y1 = field.getY() + field.getHeight();

    if (auto* fieldParent = nameField.getParentComponent())
    {
        x1 += fieldParent->getX();
        y1 += fieldParent->getY();
    }

    categoryList.setBounds (x1, y1, (int) categoryWidth, h1);

    int h2 = getNumPresets (browseCategory) * rowPitch;

    if (h2 <= 40)
        h2 += 20;

    presetList.setBounds ((int) ((float) x1 + categoryWidth), y1, (int) presetWidth, h2);
}
