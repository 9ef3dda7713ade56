#include "VLPresetList.h"

VLPresetList::VLPresetList() = default;

VLPresetList::~VLPresetList()
{
    removeAllRows();
}

void VLPresetList::removeAllRows()
{
    for (auto& row : rows)
        removeChildComponent (row.get());

    rows.clear();
}

void VLPresetList::init (std::vector<juce::String> newItems, int newCount, int newSelected, int newListId,
                         PresetListDelegate* newDelegate)
{
    removeAllRows();

    delegate = newDelegate;
    listId = newListId;
    items = std::move (newItems);
    selected = newSelected;
    count = juce::jlimit (0, (int) items.size(), newCount);

    for (int i = 0; i < count; ++i)
    {
        auto row = std::make_unique<VLPresetListButton> (items[(size_t) i], i, this);

        if (i == selected)
        {
            row->selected = true;
            row->repaint();
        }

        addAndMakeVisible (row.get());
        rows.push_back (std::move (row));
    }
}

void VLPresetList::updateContent (std::vector<juce::String> newItems, int newSelected, int newListId)
{
    const int n = (int) newItems.size();
    init (std::move (newItems), n, newSelected, newListId, delegate);
    resized();
    repaint();
}

VLPresetListButton* VLPresetList::getRow (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, (int) rows.size()) ? rows[(size_t) index].get() : nullptr;
}

void VLPresetList::setSelected (int index)
{
    selected = index;

    for (int k = 0; k < (int) rows.size(); ++k)
    {
        rows[(size_t) k]->selected = (k == index);
        rows[(size_t) k]->repaint();
    }
}

void VLPresetList::resized()
{
    const int n = (int) rows.size();
    const float top = (float) n * -18.0f * 0.5f + (float) getHeight() * 0.5f;

    for (int i = 0; i < n; ++i)
        rows[(size_t) i]->setBounds (0, (int) (18.0f * (float) i + top), getWidth(), 18);
}

void VLPresetList::buttonClicked (int index)
{
    if (! juce::isPositiveAndBelow (index, (int) rows.size()))
        return;

    setSelected (index);

    // Last: the owner may refill this column, deleting the row whose click this is.
    if (delegate != nullptr)
        delegate->modulePresetChange (listId, index);
}

void VLPresetList::itemMouseOver (int)
{
    if (delegate != nullptr)
        delegate->presetListMouseOver (listId);
}

void VLPresetList::itemMouseOut (int)
{
    if (delegate != nullptr)
        delegate->presetListMouseOut (listId);
}

void VLPresetList::mouseEnter (const juce::MouseEvent&)
{
    if (delegate != nullptr)
        delegate->presetListMouseOver (listId);
}

void VLPresetList::mouseExit (const juce::MouseEvent&)
{
    if (delegate != nullptr)
        delegate->presetListMouseOut (listId);
}
