#pragma once

#include "VLPresetListButton.h"

#include <memory>
#include <vector>

/** How a preset list column reports to its owner. listId is the id the column was filled with. */
class PresetListDelegate
{
public:
    virtual ~PresetListDelegate() = default;

    /** The row `item` of column `listId` was clicked; it is now the column's selected row. */
    virtual void modulePresetChange (int listId, int item) = 0;

    virtual void presetListMouseOver (int listId) { juce::ignoreUnused (listId); }
    virtual void presetListMouseOut (int listId) { juce::ignoreUnused (listId); }
};

/** One column of the factory-preset pop-up: a vertical stack of 18-pixel text rows, centred in
    the column's height, one of which may be marked selected.

    The column can be refilled at any time, which replaces all its rows; that is safe even from
    inside the click report of one of its own rows.

    Message thread only.
*/
class VLPresetList : public juce::Component,
                     public VLPresetListButtonDelegate
{
public:
    VLPresetList();
    ~VLPresetList() override;

    /** Fills the column: one row per text (at most `count` of them), the row `selected` marked
        (any index that is no row, such as -1, marks none), reporting to `delegate` with `listId`. */
    void init (std::vector<juce::String> items, int count, int selected, int listId, PresetListDelegate* delegate);

    /** Replaces every row with new texts, keeping the delegate. */
    void updateContent (std::vector<juce::String> items, int selected, int listId);

    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void resized() override;

    void buttonClicked (int index) override;
    void itemMouseOver (int index) override;
    void itemMouseOut (int index) override;

    int getNumRows() const noexcept { return (int) rows.size(); }

    /** The row at index, or null. */
    VLPresetListButton* getRow (int index) const noexcept;

    int getSelected() const noexcept { return selected; }
    int getListId() const noexcept { return listId; }
    const std::vector<juce::String>& getItems() const noexcept { return items; }

    /** Marks `index` as the selected row (none when it is no row) and repaints the rows. */
    void setSelected (int index);

private:
    void removeAllRows();

    std::vector<std::unique_ptr<VLPresetListButton>> rows;
    PresetListDelegate* delegate = nullptr;
    int listId = 0;
    int count = 0;
    std::vector<juce::String> items;
    int selected = -1;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VLPresetList)
};
